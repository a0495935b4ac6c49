#include "Public/PavProgressView.h"
#include "albums/container/AlbumHost.h"
#include "albums/device/DeviceAlbumBar.h"
#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/widgets/ImageLoadPool.h"
#include "albums/widgets/PavAlbumEmptyView_iPad.h"
#include "albums/widgets/PavSystemAssetView_iPad.h"
#include "albums/widgets/PavSystemVideoView_iPad.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/photolib/NativeName.h"
#include "platform/media/VideoPlayerScreen.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationStack.h"
#include "platform/ui/ShadowLabel.h"
#include "support/EventLoop.h"
#include "support/FakeClock.h"
#include "support/FakeAssetsLibrary.h"
#include "support/FakePhotoAsset.h"
#include "support/ImageFixtures.h"
#include "support/TempHome.h"

#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

PhotoAssetPtr item(const QString& id, PhotoAssetKind kind, const QDateTime& when)
{
    return FakePhotoAsset::withId(id, kind, when);
}

// A video backed by a file on disk.
class FileAsset : public FakePhotoAsset {
public:
    explicit FileAsset(QString path)
        : FakePhotoAsset("assets-library://asset/asset.MOV?id=clip&ext=MOV", "x", PhotoAssetKind::Video),
          m_path(std::move(path))
    {
    }
    QString filePath() const override { return m_path; }

private:
    QString m_path;
};

// A photo that counts how often its URL is read.
class UrlCountingAsset : public FakePhotoAsset {
public:
    UrlCountingAsset(const QString& id, const QDateTime& when, std::atomic<qint64>* reads)
        : FakePhotoAsset("assets-library://asset/asset.JPG?id=" + id + "&ext=JPG", "x", PhotoAssetKind::Photo, when),
          m_reads(reads)
    {
    }
    QString url() const override
    {
        ++*m_reads;
        return FakePhotoAsset::url();
    }

private:
    std::atomic<qint64>* m_reads;
};

// The album tab as a screen sees it, recording the icon changes asked for.
class RecordingHost : public AlbumHost {
public:
    int selectedIndex() const override { return 0; }
    void setSelectedIndex(int) override {}
    void selectPreviousViewController() override {}
    void setAlbumIconWithAlbumType(int index, const QPixmap&) override { icons << index; }
    void resetAlbumIconToDefaultWithAlbumType(int index) override { icons << index; }
    AlbumScreen* albumScreen(int) const override { return nullptr; }
    bool albumTabOnScreen() const override { return true; }
    QWidget* hostView() override { return &view; }

    QWidget view;
    QList<int> icons;
};

QDateTime at(int day, int hour) { return QDateTime(QDate(2024, 6, day), QTime(hour, 0), Qt::UTC); }

class DeviceAlbumScreenTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::Animations::setEnabled(false);
        lib = std::make_shared<FakeAssetsLibrary>();
        for (int i = 0; i < 7; ++i)
            roll.push_back(item(QString("t%1").arg(i), PhotoAssetKind::Photo, at(15, 1 + i)));  // today
        roll.push_back(item("y0", PhotoAssetKind::Photo, at(14, 9)));  // yesterday
        roll.push_back(item("v0", PhotoAssetKind::Video, at(14, 8)));
        roll.push_back(item("v1", PhotoAssetKind::Video, at(3, 8)));
        lib->setGroups({AssetsGroup{"Roll", AssetsGroupSavedPhotos, roll}});
        KyAssetsLibrary::shareAssetsLibrary().setLibrary(lib);
        reader = std::make_unique<PavAssetsManager>([this] { return lib; });
    }
    void TearDown() override
    {
        lib->holdThumbnails(false);
        ImageLoadPool::shared().waitForDone();
        spinEvents(20);
        KyAssetsLibrary::shareAssetsLibrary().setLibrary(nullptr);
        ui::Animations::setEnabled(true);
    }

    PavSystemAlbumViewController_iPad::Collaborators collaborators()
    {
        PavSystemAlbumViewController_iPad::Collaborators c;
        c.reader = reader.get();
        c.clock = &clock;
        c.zone = QTimeZone::utc();
        c.usage = [this](int e) { events << e; };
        c.center = &center;
        c.albumTabShown = [this] { return tabShown; };
        c.setCancelFlags = [this](bool on) { cancelFlags << on; };
        c.openPhoto = [this](const ALAssetPtr& a, const QList<ALAssetPtr>& photos) {
            opened << a->url();
            openedListSize = photos.size();
        };
        c.batchAction = [this](EditBar::Entry e) { actions << e; };
        return c;
    }
    std::unique_ptr<PavSystemAlbumViewController_iPad> makeScreen(int useType = 0)
    {
        auto s = std::make_unique<PavSystemAlbumViewController_iPad>(useType, collaborators());
        s->resize(615, 748);
        s->loadViewIfNeeded();
        s->show();
        return s;
    }
    void appear(PavSystemAlbumViewController_iPad& s)
    {
        s.beginAppearanceTransition(true, false);
        s.endAppearanceTransition();
    }
    bool settle(PavSystemAlbumViewController_iPad& s)
    {
        const bool done = waitUntil([&] {
            reader->drain();
            return !s.isUpdating();
        });
        spinEvents(30);
        return done;
    }
    QList<PavSystemAssetView_iPad*> photoTiles(PavSystemAlbumViewController_iPad& s)
    {
        return s.assetsTableView()->findChildren<PavSystemAssetView_iPad*>();
    }
    // The photo tiles of the rows at least partly in view.
    QList<PavSystemAssetView_iPad*> tilesInView(PavSystemAlbumViewController_iPad& s)
    {
        QList<PavSystemAssetView_iPad*> out;
        for (QWidget* cell : s.assetsTableView()->visibleCells())
            out += cell->findChildren<PavSystemAssetView_iPad*>();
        return out;
    }
    PavSystemAssetView_iPad* tileFor(PavSystemAlbumViewController_iPad& s, const QString& id)
    {
        for (auto* t : photoTiles(s)) {
            if (t->asset()->url().contains("id=" + id + "&"))
                return t;
        }
        return nullptr;
    }
    PavAlbumTableHeaderView_iPad* header(PavSystemAlbumViewController_iPad& s, int section)
    {
        for (QWidget* w : s.assetsTableView()->visibleHeaders()) {
            auto* h = qobject_cast<PavAlbumTableHeaderView_iPad*>(w);
            if (h && h->section() == section)
                return h;
        }
        return nullptr;
    }
    static QString topAlertMessage()
    {
        ui::ChoiceDialog* d = ui::ChoiceDialog::topShowing();
        return d ? d->message() : QString();
    }
    static void closeAlerts()
    {
        for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing())
            d->deleteLater();
        spinEvents(10);
    }

    TempHome home;
    FakeClock clock{QDateTime(QDate(2024, 6, 15), QTime(10, 0), Qt::UTC)};
    NotificationCenter center;
    std::shared_ptr<FakeAssetsLibrary> lib;
    std::unique_ptr<PavAssetsManager> reader;
    QList<int> events;
    QList<bool> cancelFlags;
    QStringList opened;
    int openedListSize = 0;
    QList<EditBar::Entry> actions;
    bool tabShown = true;
    std::vector<PhotoAssetPtr> roll;
};

}

TEST_F(DeviceAlbumScreenTest, FirstAppearanceLoadsPhotosIntoDaySections)
{
    auto s = makeScreen();
    EXPECT_EQ(s->title(), "Pad相册");
    EXPECT_TRUE(s->needUpdate());
    appear(*s);
    ASSERT_TRUE(settle(*s));
    EXPECT_EQ(s->assetsArray().size(), 8);
    EXPECT_EQ(s->photoAssetsArray().size(), 8);
    EXPECT_EQ(s->sortedDateKeys(), (QList<QDate>{QDate(2024, 6, 15), QDate(2024, 6, 14)}));
    // Newest first: the photo of 07:00 today leads the list handed to a browser.
    EXPECT_TRUE(s->photoAssetsArray().first()->url().contains("id=t6&"));
    EXPECT_EQ(s->numberOfRows(0), 2);
    ASSERT_TRUE(header(*s, 0));
    EXPECT_EQ(header(*s, 0)->titleLabel()->text(), "今天");
    EXPECT_EQ(header(*s, 1)->titleLabel()->text(), "昨天");
    EXPECT_FALSE(s->emptyView()->isVisible());
    EXPECT_TRUE(s->bar()->lockEditButton()->isEnabled());
    EXPECT_EQ(cancelFlags, QList<bool>{false});  // the private store's cancel flag cleared at load
}

TEST_F(DeviceAlbumScreenTest, EditModeSelectionCheckAllAndActions)
{
    auto s = makeScreen();
    appear(*s);
    ASSERT_TRUE(settle(*s));
    s->bar()->lockEditButton()->click();
    EXPECT_TRUE(s->isEditing());
    EXPECT_EQ(events.last(), 27155);
    EXPECT_FALSE(s->bar()->lockButton()->isEnabled());
    EXPECT_EQ(s->bar()->selectedCountLabel()->text(), "请选择照片");

    // Tapping the only photo of yesterday selects it and turns its day on.
    tileFor(*s, "y0")->click();
    EXPECT_EQ(s->bar()->selectedCountLabel()->text(), "已选择1张照片");
    EXPECT_TRUE(s->bar()->lockButton()->isEnabled());
    EXPECT_TRUE(header(*s, 1)->checkAllButton()->isSelected());
    tileFor(*s, "t3")->click();
    EXPECT_EQ(s->selectedAssets().size(), 2);
    EXPECT_TRUE(s->selectedAssets().first()->url().contains("id=y0&"));  // tap order

    // Check-all on today adds only the six not yet chosen.
    header(*s, 0)->checkAllButton()->click();
    EXPECT_EQ(events.last(), 27128);
    EXPECT_EQ(s->selectedAssets().size(), 8);
    EXPECT_EQ(s->bar()->selectedCountLabel()->text(), "已选择8张照片");
    tileFor(*s, "t0")->click();  // one off: the day is no longer all chosen
    EXPECT_FALSE(s->isAssetsAllChecked(QDate(2024, 6, 15)));
    EXPECT_EQ(s->selectedAssets().size(), 7);

    s->bar()->lockButton()->click();
    EXPECT_EQ(actions, QList<EditBar::Entry>{EditBar::Entry::Lock});

    s->bar()->cancelButton()->click();
    EXPECT_FALSE(s->isEditing());
    EXPECT_TRUE(s->selectedAssets().isEmpty());
    for (const ALAssetPtr& a : s->assetsArray())
        EXPECT_FALSE(a->isChecked());
    EXPECT_TRUE(s->bar()->cancelButton()->isHidden());
    s->backToNormalMode();  // not editing: nothing happens
    EXPECT_FALSE(s->isEditing());
}

TEST_F(DeviceAlbumScreenTest, VideosHideEditingAndARunningPhotoLoadIsNotShownAsVideos)
{
    auto s = makeScreen();
    appear(*s);
    // Switch while the photo load is still on its way: its arrival is ignored
    // and exactly one video load follows.
    s->bar()->doubleSlider()->setSliderType(1, false);
    s->valueChangedInSlider(s->bar()->doubleSlider());
    EXPECT_EQ(events.last(), 27103);
    ASSERT_TRUE(settle(*s));
    EXPECT_EQ(s->loadedKind(), 1);
    EXPECT_EQ(s->assetsArray().size(), 2);
    EXPECT_TRUE(s->photoAssetsArray().isEmpty());
    EXPECT_EQ(lib->enumerations(), 2);
    EXPECT_TRUE(s->bar()->lockEditButton()->isHidden());
    EXPECT_EQ(s->numberOfSections(), 2);
    EXPECT_EQ(s->assetsTableView()->findChildren<PavSystemVideoView_iPad*>().size(), 2);
    EXPECT_TRUE(photoTiles(*s).isEmpty());
}

TEST_F(DeviceAlbumScreenTest, RefusedLibraryEmptiesEverythingAndLeavesEditMode)
{
    auto s = makeScreen();
    appear(*s);
    ASSERT_TRUE(settle(*s));
    s->editButtonClicked(EditBar::Entry::Backup);
    tileFor(*s, "t1")->click();
    ASSERT_EQ(s->selectedAssets().size(), 1);

    lib->setRefused(true);
    s->getAssetsData();
    ASSERT_TRUE(settle(*s));
    EXPECT_TRUE(s->assetsArray().isEmpty());
    EXPECT_TRUE(s->photoAssetsArray().isEmpty());
    EXPECT_TRUE(s->sortedDateKeys().isEmpty());
    EXPECT_TRUE(s->selectedAssets().isEmpty());
    EXPECT_FALSE(s->isEditing());
    EXPECT_FALSE(s->locationDisabledView()->isHidden());
    EXPECT_TRUE(s->emptyView()->isHidden());
    EXPECT_FALSE(s->bar()->lockEditButton()->isEnabled());
    EXPECT_FALSE(s->bar()->backupEditButton()->isEnabled());
}

TEST_F(DeviceAlbumScreenTest, LoadGateAndReloadPolicy)
{
    auto s = makeScreen();
    appear(*s);
    s->getAssetsData();   // during the first load
    s->getAssetsData();
    ASSERT_TRUE(settle(*s));
    EXPECT_EQ(lib->enumerations(), 2);  // exactly one follow-up

    // Shown at index 0 needs a container; without one the tab is "elsewhere":
    // a change only marks the next appearance.
    center.post("ALAssetsLibraryChangedNotification");
    EXPECT_TRUE(s->needUpdate());
    EXPECT_EQ(lib->enumerations(), 2);
    appear(*s);  // already shown: no transition
    s->beginAppearanceTransition(false, false);
    s->endAppearanceTransition();
    appear(*s);
    ASSERT_TRUE(settle(*s));
    EXPECT_EQ(lib->enumerations(), 3);
    EXPECT_FALSE(s->needUpdate());

    // Becoming active: with no container the index is 0 and the grid full,
    // so the library is only checked for availability (object 99).
    lib->setRefused(true);
    center.post("KyAlbumShouldCheckUpdateNotification");
    reader->drain();
    ASSERT_TRUE(waitUntil([&] { return !s->locationDisabledView()->isHidden(); }));
    EXPECT_TRUE(s->assetsArray().isEmpty());
    EXPECT_EQ(lib->enumerations(), 4);
    // Empty grid: a load after the short delay.
    lib->setRefused(false);
    center.post("KyAlbumShouldCheckUpdateNotification");
    ASSERT_TRUE(waitUntil([&] { return s->assetsArray().size() == 8; }));
}

TEST_F(DeviceAlbumScreenTest, PickerStartsEditingAndOnlySetsFlagsOnChange)
{
    auto picker = makeScreen(2);
    EXPECT_TRUE(picker->isEditing());
    EXPECT_FALSE(picker->bar()->backupButton()->isHidden());
    EXPECT_TRUE(picker->bar()->lockButton()->isHidden());
    appear(*picker);
    ASSERT_TRUE(settle(*picker));
    const int before = lib->enumerations();
    center.post("ALAssetsLibraryChangedNotification");
    center.post("KyAlbumShouldCheckUpdateNotification");
    spinEvents(400);
    EXPECT_EQ(cancelFlags, (QList<bool>{false, true}));
    EXPECT_FALSE(picker->needUpdate());
    EXPECT_EQ(lib->enumerations(), before);
    EXPECT_TRUE(makeScreen(1)->bar()->backupButton()->isHidden());
}

// The album tab loads under the tab's loading panel and sets the tab's icon;
// a picker handed the tab by its opener keeps neither.
TEST_F(DeviceAlbumScreenTest, OnlyTheAlbumTabUsesItsContainer)
{
    auto panelInHost = [](RecordingHost& host) {
        PavProgressView* panel = PavProgressView::showing();
        return panel && host.view.isAncestorOf(panel);
    };
    for (int useType : {0, 1, 2}) {
        SCOPED_TRACE(useType);
        RecordingHost host;
        host.view.resize(1024, 768);
        auto s = std::make_unique<PavSystemAlbumViewController_iPad>(useType, collaborators());
        s->setContainerController(&host);
        s->resize(615, 748);
        s->loadViewIfNeeded();
        s->show();
        appear(*s);
        EXPECT_EQ(panelInHost(host), useType == 0);
        ASSERT_TRUE(settle(*s));
        ImageLoadPool::shared().waitForDone();
        spinEvents(30);
        EXPECT_FALSE(panelInHost(host));
        if (useType == 0) {
            EXPECT_EQ(s->containerController(), &host);
            EXPECT_FALSE(host.icons.isEmpty());
        } else {
            EXPECT_EQ(s->containerController(), nullptr);
            EXPECT_TRUE(host.icons.isEmpty());
        }
        PavProgressView::dismiss();
        spinEvents(10);
    }
}

// A picker has no album tab to cover: its loading panel covers its own
// window while it loads, and goes when the load ends or the picker closes.
TEST_F(DeviceAlbumScreenTest, APickerShowsItsLoadingPanelOverItsWindowUntilTheLoadEnds)
{
    ui::Canvas canvas;
    auto* stack = new ui::NavigationStack(new ui::Screen);
    canvas.setRootScreen(stack);
    canvas.show();
    for (int useType : {1, 2}) {
        SCOPED_TRACE(useType);
        auto* picker = new PavSystemAlbumViewController_iPad(useType, collaborators());
        stack->push(picker, false);
        PavProgressView* panel = PavProgressView::showing();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->text(), QStringLiteral("加载中..."));
        EXPECT_FALSE(panel->showsIndicator());
        EXPECT_EQ(panel->window(), picker->window());
        EXPECT_EQ(panel->geometry(), canvas.rect());
        ASSERT_TRUE(settle(*picker));
        EXPECT_EQ(PavProgressView::showing(), nullptr);
        stack->pop(false);
    }

    // Closed while it loads.
    stack->push(new PavSystemAlbumViewController_iPad(1, collaborators()), false);
    ASSERT_NE(PavProgressView::showing(), nullptr);
    stack->pop(false);
    ASSERT_TRUE(waitUntil([] { return PavProgressView::showing() == nullptr; }));
    reader->drain();
    spinEvents(30);
    EXPECT_EQ(PavProgressView::showing(), nullptr);
}

TEST_F(DeviceAlbumScreenTest, APickerClosesOnCancel)
{
    auto* root = new ui::Screen;
    ui::NavigationStack stack(root);
    stack.resize(615, 748);
    stack.show();
    stack.beginAppearanceTransition(true, false);
    stack.endAppearanceTransition();
    auto* picker = new PavSystemAlbumViewController_iPad(1, collaborators());
    stack.push(picker, false);
    ASSERT_EQ(stack.topScreen(), picker);
    ASSERT_TRUE(settle(*picker));
    picker->bar()->cancelButton()->click();
    spinEvents(20);
    EXPECT_EQ(stack.topScreen(), root);
}

TEST_F(DeviceAlbumScreenTest, AClosedPickerDropsItsAnswer)
{
    // Counts the listing answers each picker hears, in counters that outlive it.
    class CountingPicker : public PavSystemAlbumViewController_iPad {
    public:
        CountingPicker(int& answers, PavSystemAlbumViewController_iPad::Collaborators c)
            : PavSystemAlbumViewController_iPad(1, std::move(c)), m_answers(answers)
        {
        }
        void assetsManagerDidUpdateAssetsArray(const QList<ALAssetPtr>& assets, const QVariant& object) override
        {
            ++m_answers;
            PavSystemAlbumViewController_iPad::assetsManagerDidUpdateAssetsArray(assets, object);
        }

    private:
        int& m_answers;
    };
    int closedAnswers = 0;
    int openAnswers = 0;
    auto closed = std::make_unique<CountingPicker>(closedAnswers, collaborators());
    auto open = std::make_unique<CountingPicker>(openAnswers, collaborators());
    for (CountingPicker* picker : {closed.get(), open.get()}) {
        picker->resize(615, 748);
        picker->show();
        appear(*picker);
    }
    closed.reset();  // closed while its listing runs
    reader->drain();
    ASSERT_TRUE(waitUntil([&] { return openAnswers > 0; }));
    spinEvents(100);
    EXPECT_EQ(closedAnswers, 0);
    EXPECT_EQ(openAnswers, 1);
}

TEST_F(DeviceAlbumScreenTest, OpeningCapturesTheTapAndIgnoresASecondOne)
{
    auto s = makeScreen();
    appear(*s);
    ASSERT_TRUE(settle(*s));
    tileFor(*s, "t2")->click();
    tileFor(*s, "t4")->click();  // within the delay
    ASSERT_TRUE(waitUntil([&] { return !opened.isEmpty(); }));
    spinEvents(200);
    EXPECT_EQ(opened.size(), 1);
    EXPECT_TRUE(opened.first().contains("id=t2&"));
    EXPECT_EQ(openedListSize, 8);

    // Videos open the player on their file; a file gone meanwhile opens nothing.
    QList<QUrl> played;
    QByteArray playedBytes;  // what the player could read of its file when it was made
    VideoPlayerScreen::setFactory([&](const QUrl& url) {
        played << url;
        QFile source(url.toLocalFile());
        playedBytes = source.open(QIODevice::ReadOnly) ? source.readAll() : QByteArray();
        return new ui::Screen;
    });
    const ALAssetPtr gone = std::make_shared<ALAsset>(item("vx", PhotoAssetKind::Video, at(1, 1)));
    gone->setType(ALAsset::ALAssetTypeVideo);
    s->systemAssetViewDidSelect(gone);
    spinEvents(250);
    EXPECT_TRUE(played.isEmpty());

    QTemporaryDir dir;
    const QString file = dir.filePath("clip.mov");
    ASSERT_TRUE(ImageFixtures::writeFile(file, "not really a movie"));
    auto clip = std::make_shared<ALAsset>(std::make_shared<FileAsset>(file));
    clip->setType(ALAsset::ALAssetTypeVideo);
    s->systemAssetViewDidSelect(clip);
    ASSERT_TRUE(waitUntil([&] { return !played.isEmpty(); }));
    EXPECT_EQ(played, QList<QUrl>{QUrl::fromLocalFile(file)});

    // A name that is not UTF-8 plays the file it names, through its bytes.
    played.clear();
    const QByteArray oddName = QFile::encodeName(dir.path()) + "/clip-\xff\xfe.mov";
    {
        const int fd = ::open(oddName.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, "odd movie", 9), 9);
        ::close(fd);
    }
    auto oddClip = std::make_shared<ALAsset>(std::make_shared<FileAsset>(NativeName::decode(oddName)));
    oddClip->setType(ALAsset::ALAssetTypeVideo);
    s->systemAssetViewDidSelect(oddClip);
    ASSERT_TRUE(waitUntil([&] { return !played.isEmpty(); }));
    EXPECT_EQ(playedBytes, QByteArray("odd movie"));
    VideoPlayerScreen::setFactory({});
    ::unlink(oddName.constData());  // the folder's own removal cannot name it
}

TEST_F(DeviceAlbumScreenTest, ADayCheckedAllIsHandedOnInOrderWithoutASearchPerPhoto)
{
    // A day's check-all chooses thousands of photos at once. The batches'
    // selection searched the whole list for each chosen photo: with 20000
    // photos the backup button froze the window for minutes.
    constexpr int kPhotos = 3000;
    std::atomic<qint64> urlReads{0};
    roll.clear();
    for (int i = 0; i < kPhotos; ++i)
        roll.push_back(std::make_shared<UrlCountingAsset>(QString("p%1").arg(i), at(15, 0).addSecs(i), &urlReads));
    lib->setGroups({AssetsGroup{"Roll", AssetsGroupSavedPhotos, roll}});
    auto s = makeScreen();
    appear(*s);
    ASSERT_TRUE(settle(*s));
    s->bar()->backupEditButton()->click();
    header(*s, 0)->checkAllButton()->click();

    urlReads = 0;
    const QList<ALAssetPtr> chosen = s->selectedAssets();
    EXPECT_LE(urlReads.load(), 4 * kPhotos);  // a few reads a photo, not one per photo and choice
    ASSERT_EQ(chosen.size(), kPhotos);
    EXPECT_EQ(chosen, s->photoAssetsArray());  // the day's order, newest first

    header(*s, 0)->checkAllButton()->click();
    EXPECT_TRUE(s->selectedAssets().isEmpty());
}

TEST_F(DeviceAlbumScreenTest, CheckAllOnADayOfVideosOnlyAlerts)
{
    auto s = makeScreen();
    s->bar()->doubleSlider()->setSliderType(1, false);
    appear(*s);
    ASSERT_TRUE(settle(*s));
    s->enterEditModeAnimated(false);
    ASSERT_TRUE(header(*s, 0));
    header(*s, 0)->checkAllButton()->click();
    EXPECT_EQ(topAlertMessage(), "由于条件限制，暂不支持对视频进行处理。");
    EXPECT_FALSE(header(*s, 0)->checkAllButton()->isSelected());
    EXPECT_TRUE(s->selectedAssets().isEmpty());
    closeAlerts();
}

// A change made while the album was hidden is loaded when it shows again,
// even when the application became active in between.
TEST_F(DeviceAlbumScreenTest, AChangeWhileHiddenSurvivesBecomingActive)
{
    auto s = makeScreen();
    appear(*s);
    ASSERT_TRUE(settle(*s));
    s->beginAppearanceTransition(false, false);
    s->endAppearanceTransition();
    roll.push_back(item("new", PhotoAssetKind::Photo, at(15, 9)));
    lib->setGroups({AssetsGroup{"Roll", AssetsGroupSavedPhotos, roll}});
    center.post(KyAssetsLibrary::kChangedNotification);
    EXPECT_TRUE(s->needUpdate());
    center.post(PavSystemAlbumViewController_iPad::kShouldCheckUpdateNotification);
    reader->drain();
    spinEvents(50);
    EXPECT_TRUE(s->needUpdate()) << "still owed";
    EXPECT_EQ(lib->enumerations(), 1);
    appear(*s);
    ASSERT_TRUE(settle(*s));
    EXPECT_EQ(s->assetsArray().size(), 9);
    EXPECT_TRUE(s->photoAssetsArray().first()->url().contains("id=new&"));
}

// Rows built ahead beyond the view are shown later by scrolling: each of
// their tiles shows edit mode and its photo's selection, after entering edit
// mode and after a day's check-all alike.
TEST_F(DeviceAlbumScreenTest, TilesShownByScrollingTakeEditModeAndTheDaysSelection)
{
    std::vector<PhotoAssetPtr> many;
    for (int i = 0; i < 60; ++i)
        many.push_back(item(QString("m%1").arg(i), PhotoAssetKind::Photo, at(15, 0).addSecs(60 * i)));
    lib->setGroups({AssetsGroup{"Roll", AssetsGroupSavedPhotos, many}});
    auto s = makeScreen();
    appear(*s);
    ASSERT_TRUE(settle(*s));
    ui::SectionedTable* table = s->assetsTableView();
    ASSERT_GT(table->contentHeight(), 2 * table->viewport()->height());
    const QImage selected = ui::ImageView(QStringLiteral("PavAssetsView_selected.png")).image().toImage();
    const QImage unselected = ui::ImageView(QStringLiteral("PavAssetsView_unselected.png")).image().toImage();
    ASSERT_NE(selected, unselected);

    // Scrolls from the top to the bottom; every tile in view must show the
    // mark, drawn as its photo's flag says and as expected.
    auto scrollAndCheck = [&](bool expectChecked) {
        int checkedTiles = 0;
        for (int y = 0; y <= table->contentHeight(); y += 60) {
            table->verticalScrollBar()->setValue(y);
            spinEvents(5);
            for (PavSystemAssetView_iPad* tile : tilesInView(*s)) {
                ++checkedTiles;
                EXPECT_FALSE(tile->selectedView()->isHidden()) << "at y " << y;
                EXPECT_EQ(tile->asset()->isChecked(), expectChecked);
                EXPECT_EQ(tile->selectedView()->image().toImage(), expectChecked ? selected : unselected)
                    << "at y " << y;
            }
        }
        table->verticalScrollBar()->setValue(0);
        spinEvents(5);
        return checkedTiles;
    };
    s->editButtonClicked(EditBar::Entry::Lock);
    EXPECT_GT(scrollAndCheck(false), 60);

    ASSERT_TRUE(header(*s, 0));
    header(*s, 0)->checkAllButton()->click();
    EXPECT_EQ(s->selectedAssets().size(), 60);
    EXPECT_EQ(s->bar()->selectedCountLabel()->text(), "已选择60张照片");
    scrollAndCheck(true);
}

// A second listing of the same photos (a reload while they are on screen)
// keeps every tile's picture: the grid never goes blank while the new
// tiles' own reads are still on their way.
TEST_F(DeviceAlbumScreenTest, ASecondListingKeepsThePicturesOnScreen)
{
    auto s = makeScreen();
    appear(*s);
    ASSERT_TRUE(settle(*s));
    ImageLoadPool::shared().waitForDone();
    spinEvents(30);
    auto withPicture = [&] {
        int n = 0;
        for (PavSystemAssetView_iPad* tile : tilesInView(*s))
            n += tile->thumbnailView()->image().isNull() ? 0 : 1;
        return n;
    };
    ASSERT_EQ(withPicture(), 8);

    lib->holdThumbnails(true);
    s->getAssetsData();
    ASSERT_TRUE(settle(*s));
    ASSERT_EQ(lib->enumerations(), 2);
    EXPECT_EQ(tilesInView(*s).size(), 8);
    EXPECT_EQ(withPicture(), 8);
    // Leaving edit mode rebuilds the grid too.
    s->enterEditModeAnimated(false);
    s->quitEditModeAnimated(false);
    spinEvents(10);
    EXPECT_EQ(withPicture(), 8);
    lib->holdThumbnails(false);
}
