#include "CloudAlbumFixture.h"

#include "Public/KyTextInput.h"
#include "albums/cloud/CloudAlbumBar.h"
#include "albums/cloud/PavCloudAlbumLoginViewController_iPad.h"
#include "albums/cloud/PavCloudPhotoCell_iPad.h"
#include "albums/cloud/PavCloudPhotoView_iPad.h"
#include "albums/container/PavAlbumContainerController_iPad.h"
#include "albums/container/PavAlbumSelectionViewItem.h"
#include "albums/container/PavAlbumSelectionView_iPad.h"
#include "albums/widgets/PavAlbumEmptyView_iPad.h"
#include "disk/DiskFileCache.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ModalHost.h"
#include "platform/ui/NavigationStack.h"
#include "support/ChildProcess.h"
#include "support/EventLoop.h"
#include "support/FakeCamera.h"
#include "support/ImageFixtures.h"
#include "support/Screenshot.h"
#include "support/ShownImage.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSemaphore>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <functional>
#include <utility>

#include <sys/mount.h>

namespace {

// A folder on a full file system of its own (one page of tmpfs, filled)
// while the object lives.
class FullFolder {
public:
    explicit FullFolder(const QString& path) : m_path(QFile::encodeName(path))
    {
        QDir().mkpath(path);
        m_mounted = ::mount("tmpfs", m_path.constData(), "tmpfs", 0, "size=4k") == 0;
        QFile filler(path + "/filler");
        if (m_mounted && filler.open(QIODevice::WriteOnly))
            while (filler.write(QByteArray(4096, 'f')) > 0 && filler.flush()) {
            }
    }
    ~FullFolder() { unmount(); }
    bool mounted() const { return m_mounted; }
    void unmount()
    {
        if (std::exchange(m_mounted, false))
            ::umount2(m_path.constData(), MNT_DETACH);
    }

private:
    QByteArray m_path;
    bool m_mounted = false;
};

QStringList names(const QList<CloudEntry>& entries)
{
    QStringList out;
    for (const CloudEntry& e : entries)
        out << (e.isFolder() ? "dir:" + e.dir->dir_name() : e.file->file_name());
    return out;
}

}

TEST_F(CloudAlbumFixture, SignInGate)
{
    show();
    EXPECT_EQ(loginSheets, 1);
    EXPECT_TRUE(screen->listing().isEmpty());
    EXPECT_FALSE(screen->isListing());

    // Signed in, the sheet reports success: the album folder is listed.
    signIn();
    ASSERT_TRUE(upload(ImageFixtures::jpeg(40, 30, 1), "a.jpg"));
    screen->dismissModal(false);
    screen->cloudAlbumLoginSuccess();
    ASSERT_TRUE(listed(1));

    // The disk tab signed in to another account meanwhile: the album is
    // signed out before anything is listed, and asks again.
    disk.manager->current_user()->setRoot_dir(std::make_shared<DiskDir>("root", "another-account"));
    album->setIsUpdated(true);
    ui::NavigationStack* stack = screen->navigationStack();
    stack->push(new ui::Screen, false);
    stack->pop(false);
    EXPECT_FALSE(disk.manager->ignoreThumbnailRequest()) << "no listing was started";
    EXPECT_FALSE(album->isLogined());
    EXPECT_EQ(album->cloudAlbumDir(), nullptr);
    EXPECT_EQ(screen->currentDir(), nullptr);
    spinEvents(10);
    EXPECT_EQ(loginSheets, 2);
    EXPECT_TRUE(screen->listing().isEmpty());
}

// Signed out, the album asks with the real sign-in sheet, 538 x 385 and
// 118 points below where a centred sheet starts.
TEST_F(CloudAlbumFixture, TheSignInSheetSitsBelowACentredSheet)
{
    PavCloudAlbumViewController_iPad::Collaborators c = collaborators();
    c.makeLogin = [this](PavCloudAlbumLoginDelegate* delegate) -> ui::Screen* {
        auto* login = new PavCloudAlbumLoginViewController_iPad(
            {disk.login.get(), disk.manager.get(), saved.get(), album.get(), [](int) {}});
        login->setDelegate(delegate);
        return login;
    };
    screen = new PavCloudAlbumViewController_iPad(c);
    canvas->setRootScreen(new ui::NavigationStack(screen));
    canvas->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(canvas.get()));
    spinEvents(10);
    ui::ModalHost* sheet = ui::ModalHost::presentedBy(screen);
    ASSERT_TRUE(sheet);
    ASSERT_TRUE(sheet->findChild<PavCloudAlbumLoginViewController_iPad*>());
    EXPECT_EQ(sheet->contentFrame(), QRect(243, 309, 538, 385));

    // On screen: the sheet's fields lie inside that frame, the dimmed grid around it.
    const QImage shot(saveScreenshot(canvas.get(), "cloud_album_sign_in.png"));
    ASSERT_FALSE(shot.isNull());
    auto* login = sheet->findChild<PavCloudAlbumLoginViewController_iPad*>();
    const QRect field(login->kyNameField()->mapTo(canvas.get(), QPoint()), login->kyNameField()->size());
    EXPECT_TRUE(sheet->contentFrame().contains(field)) << field.x() << "," << field.y();
    // Drawn there: its bar starts at 309 and its light page ends at 694,
    // with the darkened screen above and below.
    const auto grey = [&](int y) { return qGray(shot.pixel(300, y)); };
    EXPECT_LT(grey(300), 60);
    EXPECT_GT(grey(315), 70);
    EXPECT_GT(grey(685), 180);
    EXPECT_LT(grey(703), 60);
}

TEST_F(CloudAlbumFixture, ListingShowsFoldersThenCompletePhotosNewestFirst)
{
    signIn();
    ASSERT_TRUE(upload(ImageFixtures::jpeg(64, 48, 1), "a.jpg"));
    ASSERT_TRUE(makeDir("trip"));
    ASSERT_TRUE(upload(QByteArray("not a picture"), "clip.mov"));
    ASSERT_TRUE(upload(ImageFixtures::jpeg(64, 48, 2), "b.png"));
    ASSERT_TRUE(upload(ImageFixtures::jpeg(64, 48, 3), "c.JPG"));
    show();
    ASSERT_TRUE(listed(4));
    EXPECT_EQ(names(screen->listing().filesList()), (QStringList{"dir:trip", "c.JPG", "b.png", "a.jpg"}));
    EXPECT_TRUE(screen->bottomView()->editButton()->isEnabled());
    EXPECT_EQ(loginSheets, 0);
    // Below its one row the grid keeps a clear space of 8.
    const ui::SectionedTable* grid = screen->cloudTableView();
    EXPECT_EQ(grid->contentHeight() - grid->rectForRow(0, 0).bottom() - 1, 8);
    // Every tile fetches its own thumbnail.
    ASSERT_TRUE(thumbnailsShown());

    // A photo opens the browser with the photos shown; a folder opens a pushed copy.
    choose({"b.png"});
    EXPECT_EQ(opened.size(), 3);
    screen->cloudPhotoViewDidClick(screen->listing().filesList()[0], 1);
    spinEvents(10);
    auto* sub = qobject_cast<PavCloudAlbumViewController_iPad*>(screen->navigationStack()->topScreen());
    ASSERT_TRUE(sub && sub->isSubPath());
    EXPECT_EQ(sub->currentDir()->dir_name(), "trip");
}

TEST_F(CloudAlbumFixture, StaleAnswersAreDropped)
{
    signIn();
    DiskFilePtr a = upload(ImageFixtures::jpeg(64, 48, 1), "a.jpg");
    DiskFilePtr b = upload(ImageFixtures::jpeg(64, 48, 2), "b.jpg");
    show();
    ASSERT_TRUE(listed(2));

    // A thumbnail answer for another file shows the failure picture.
    PavCloudPhotoCell_iPad row;
    auto* tile = new PavCloudPhotoView_iPad(QPoint(), CloudEntry{nullptr, a}, screen, *disk.manager);
    row.updatePhotoViews({tile}, true);
    tile->thumbnailDownloadSuccess(b);
    EXPECT_EQ(tile->shownPicture(), "PavAlbum_LoadPhotoFailed_iPad.png");

    // A listing answer arriving after the sign-out fills nothing.
    screen->getPathList();
    center.post("KyCloudAlbumLogoutNotification");
    spinEvents(200);
    EXPECT_TRUE(screen->listing().isEmpty());
    EXPECT_FALSE(disk.manager->ignoreThumbnailRequest());
}

TEST_F(CloudAlbumFixture, OfTwoListingsOfTheFolderOnlyTheNewestIsShown)
{
    signIn();
    ASSERT_TRUE(makeDir("first"));
    // A facade over the same store whose second listing, once armed, waits
    // for the test before it reads the folder.
    std::atomic<bool> armed{false};
    std::atomic<int> listings{0};
    QSemaphore secondStarted, goOn;
    auto gated = std::make_unique<DiskManager>([this] { return disk.store; }, [&] {
        if (armed && ++listings == 2) {
            secondStarted.release();
            goOn.acquire();
        }
        return disk.login->sessionKey();
    });
    gated->setCurrent_user(disk.manager->current_user());
    facade = gated.get();
    // Whatever happens, the held listing goes on and the screen goes before its facade.
    const auto cleanup = qScopeGuard([&] {
        goOn.release(2);
        canvas.reset();
        spinEvents(10);
    });
    show();
    ASSERT_TRUE(listed(1));

    armed = true;
    screen->getPathList();
    screen->getPathList();
    ASSERT_TRUE(secondStarted.tryAcquire(1, 5000));
    // The first answer is on its way; the folder changes before the second is read.
    DiskStoreDir made;
    disk.clock.advanceSeconds(1);
    ASSERT_EQ(disk.store->makeDir(disk.login->sessionKey(), albumDir->dir_key(), "second", &made), DiskStoreRet::kOk);
    goOn.release();
    ASSERT_TRUE(listed(2));
    EXPECT_EQ(names(screen->listing().filesList()), (QStringList{"dir:second", "dir:first"}));
}

TEST_F(CloudAlbumFixture, LogoutEmptiesTheGridAndLeavesEditMode)
{
    signIn();
    ASSERT_TRUE(upload(ImageFixtures::jpeg(64, 48, 1), "a.jpg"));
    show();
    ASSERT_TRUE(listed(1));
    screen->editButtonClicked();
    choose({"a.jpg"});
    EXPECT_EQ(screen->selectedPhotos().size(), 1);
    center.post("KyCloudAlbumLogoutNotification");
    EXPECT_TRUE(screen->listing().isEmpty());
    EXPECT_EQ(screen->numberOfRows(0), 0);
    EXPECT_TRUE(screen->cloudTableView()->visibleCells().isEmpty());
    EXPECT_FALSE(screen->isEditing());
    EXPECT_TRUE(screen->selectedPhotos().isEmpty());
    EXPECT_EQ(screen->currentDir(), nullptr);
}

TEST_F(CloudAlbumFixture, LapsedSignInClearsTheSavedPasswordAndAsksAgain)
{
    signIn();
    show();
    ASSERT_TRUE(listed(0));
    EXPECT_TRUE(screen->emptyView()->isVisible());
    saved->setUin("10001");
    saved->setPassword("secret");
    screen->fileRequireLogin();
    EXPECT_TRUE(saved->password().isEmpty());
    EXPECT_FALSE(album->isLogined());
    EXPECT_EQ(album->cloudAlbumDir(), nullptr);
    EXPECT_EQ(loginSheets, 1);
}

TEST_F(CloudAlbumFixture, TheAlbumTabShowsEveryThumbnailTheFolderAndTheNewestPhotoAsItsIcon)
{
    signIn();
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(upload(ImageFixtures::jpeg(96, 72, i), QStringLiteral("p%1.jpg").arg(i)));
    ASSERT_TRUE(makeDir("trip"));
    PavAlbumContainerController_iPad::Collaborators c;
    c.albumScreens = [this](int index) -> AlbumScreen* {
        if (index != 2)
            return new AlbumScreen;
        return screen = new PavCloudAlbumViewController_iPad(collaborators());
    };
    c.isLogined = [this] { return album->isLogined(); };
    c.hasVerified = [] { return false; };
    c.usage = [](int) {};
    c.center = &center;
    auto* container = new PavAlbumContainerController_iPad(c);
    canvas->setRootScreen(container);
    canvas->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(canvas.get()));
    container->setSelectedIndex(2);
    ASSERT_TRUE(listed(8));
    ASSERT_TRUE(thumbnailsShown());
    spinEvents(600);
    const ShownImage shown(canvas.get(), "cloud_album_tab.png");
    int photos = 0, folders = 0;
    for (QWidget* cell : screen->cloudTableView()->visibleCells()) {
        for (auto* tile : cell->findChildren<PavCloudPhotoView_iPad*>()) {
            const QRect area = shown.areaOf(tile);
            if (tile->type() == PavCloudPhotoView_iPad::Photo) {
                ++photos;
                EXPECT_GT(shown.colourCount(area), 200) << "the thumbnail is drawn in its tile";
            } else {
                ++folders;
                const QColor folder = shown.average(area);
                EXPECT_GT(folder.red(), folder.blue() + 30) << "the yellow folder";
                EXPECT_GT(folder.green(), folder.blue() + 30);
            }
        }
    }
    EXPECT_EQ(photos, 7);
    EXPECT_EQ(folders, 1);
    EXPECT_EQ(screen->titleLabel()->text(), "Ky:10001");
    EXPECT_TRUE(screen->titleLabel()->isVisible());
    // The strip's chosen icon turned into the newest photo.
    QWidget* icon = container->albumSelectionView()->item(2)->albumButton();
    EXPECT_GT(shown.colourCount(shown.areaOf(icon)), 200);
}

TEST_F(CloudAlbumFixture, WithoutNetworkTheNoNetworkViewShowsAndATapListsAgain)
{
    signIn();
    network = 0;
    show();
    ASSERT_TRUE(listed(0));
    EXPECT_TRUE(screen->noNetworkView()->isVisible());
    EXPECT_FALSE(screen->cloudTableView()->isVisible());
    ASSERT_TRUE(upload(ImageFixtures::jpeg(40, 30, 1), "a.jpg"));
    network = 2;
    QTest::mouseClick(screen->noNetworkView(), Qt::LeftButton);
    ASSERT_TRUE(listed(1));
    EXPECT_FALSE(screen->noNetworkView()->isVisible());
    EXPECT_TRUE(screen->cloudTableView()->isVisible());
}

TEST_F(CloudAlbumFixture, TheCameraUploadsItsPictureIntoTheFolderShown)
{
    signIn();
    show();
    ASSERT_TRUE(listed(0));
    // The device's camera: these machines have none.
    screen->actionSheetClickedButtonAtIndex(nullptr, 1);
    ui::ChoiceDialog* alert = nullptr;
    for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing())
        alert = d;
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->message(), QStringLiteral("本设备没有拍照功能"));
    EXPECT_EQ(screen->presentedScreen(), nullptr);
    closeDialogs();

    FakeCamera fed;
    camera = &fed;
    show();
    ASSERT_TRUE(listed(0));
    screen->actionSheetClickedButtonAtIndex(nullptr, 1);
    ASSERT_NE(fed.screen(), nullptr);
    EXPECT_EQ(screen->presentedScreen(), fed.screen());
    fed.take(ImageFixtures::pattern(320, 240, 3));
    EXPECT_EQ(screen->presentedScreen(), nullptr);
    ASSERT_TRUE(listed(1));
    const QList<DiskFilePtr> files = disk.filesIn(albumDir);
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files.first()->file_name().endsWith(QStringLiteral(".jpg")));
    EXPECT_GT(files.first()->file_size(), 0);
}

// A photo going up when another run of the program quit (as a closed
// window does) is taken up at this run's sign-in; the album on screen lists
// it once it is complete, without a pull.
TEST_F(CloudAlbumFixture, APhotoLeftUploadingAtAQuitIsListedOnceItsResumeCompletes)
{
    // The other run reads the real clock: the sign-in keys must not look lapsed to it.
    disk.clock.setNow(QDateTime::currentDateTimeUtc());
    signIn();
    // More than one chunk (bytes after the picture's end): the other run holds
    // the upload at its first chunk until its quit has begun.
    const QByteArray photo = ImageFixtures::jpeg(400, 300, 5) + QByteArray(1024 * 1024, '\0');
    const QString source = home.path("photo.jpg");
    ASSERT_TRUE(ImageFixtures::writeFile(source, photo));
    const ChildResult quit = ChildProcess::run(
        "disk_upload_child",
        {home.root(), disk.storeDir.path(), source, "photo.jpg", "--folder", QString::fromUtf8(PavCloudAlbumManager::kCloudAlbumName),
         "--quit-at-first-chunk", "--hold-at-quit"},
        60000);
    ASSERT_FALSE(quit.hung);
    ASSERT_EQ(quit.exitCode, 0) << quit.output.toStdString();
    ASSERT_EQ(DiskFileCache::shared().fromEarlierLaunches().size(), 1);

    // This run's facade; the album is listed before the account is read,
    // without the unfinished photo.
    DiskManager next([this] { return disk.store; }, [this] { return disk.login->sessionKey(); });
    next.setCurrent_user(disk.manager->current_user());
    facade = &next;
    const auto cleanup = qScopeGuard([this] {
        canvas.reset();
        spinEvents(10);
    });
    show();
    ASSERT_TRUE(listed(0));

    RecordingDiskResponse account;
    next.requestQueryUser(&account);
    ASSERT_TRUE(listed(1));
    EXPECT_EQ(screen->listing().filesList()[0].file->file_name(), "photo.jpg");
    EXPECT_EQ(screen->listing().filesList()[0].file->file_size(), photo.size());
}

// A thumbnail that could not be stored (a full disk) is asked for again
// when its row comes back into view, not only after a pull.
TEST_F(CloudAlbumFixture, AFailedThumbnailIsAskedForAgainWhenItsRowIsShownAgain)
{
    signIn();
    for (int i = 0; i < 35; ++i)
        ASSERT_TRUE(upload(ImageFixtures::jpeg(64, 48, i), QStringLiteral("p%1.jpg").arg(i)));
    FullFolder full(DiskFile::cacheFolder());
    if (!full.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    show();
    ASSERT_TRUE(listed(35));
    ui::SectionedTable* grid = screen->cloudTableView();
    auto topRowTiles = [grid] {
        QList<PavCloudPhotoView_iPad*> tiles;
        for (QWidget* cell : grid->visibleCells())
            if (cell->geometry().top() == 0)
                tiles = cell->findChildren<PavCloudPhotoView_iPad*>();
        return tiles;
    };
    // Every tile of the top row in view shows what `shows` asks for.
    auto topRowShows = [&](const std::function<bool(const QString&)>& shows) {
        return waitUntil([&] {
            const QList<PavCloudPhotoView_iPad*> tiles = topRowTiles();
            return tiles.size() == 5 && std::all_of(tiles.begin(), tiles.end(), [&](PavCloudPhotoView_iPad* t) {
                return shows(t->shownPicture());
            });
        });
    };
    ASSERT_TRUE(topRowShows([](const QString& p) { return p == "PavAlbum_LoadPhotoFailed_iPad.png"; }));

    // Room again; the top row leaves the view and comes back.
    full.unmount();
    const int pastTopRow = grid->rectForRow(0, 0).bottom() + 2;
    grid->verticalScrollBar()->setValue(pastTopRow);
    ASSERT_EQ(grid->verticalScrollBar()->value(), pastTopRow);
    EXPECT_TRUE(topRowTiles().isEmpty());
    spinEvents(20);
    grid->verticalScrollBar()->setValue(0);
    EXPECT_TRUE(topRowShows([](const QString& p) { return p.endsWith(".thumb"); }));
}
