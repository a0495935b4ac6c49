#include "PrivateAlbumFixture.h"

#include "Public/PavEncryptManager.h"
#include "Public/PavProgressView.h"
#include "Public/PavToastView_iPad.h"
#include "Public/SqliteDBManager.h"
#include "albums/binding/PavSecretAlbumPasswordProtectViewController_iPad.h"
#include "albums/browser/PavSecretPhotoBrowserController_iPad.h"
#include "albums/container/PavAlbumContainerController_iPad.h"
#include "albums/lock/PavSecretAlbumPasswordController_iPad.h"
#include "albums/private/PavSecretAlbumViewController_iPad.h"
#include "albums/private/SecretAlbumBar.h"
#include "albums/widgets/ImageLoadPool.h"
#include "albums/widgets/PavAlbumEmptyView_iPad.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/NavigationStack.h"
#include "platform/ui/ShadowLabel.h"
#include "support/EventLoop.h"
#include "support/FifoWatch.h"
#include "support/FakeCamera.h"
#include "support/HeldIndex.h"
#include "support/ImageFixtures.h"
#include "support/Screenshot.h"

#include <QFile>
#include <QLabel>
#include <QTest>

namespace {

class SecretAlbumScreenTest : public PrivateAlbumFixture {
protected:
    SecretAlbumScreenTest()
    {
        EXPECT_TRUE(passwords->save(QStringLiteral("1234")));
        passwords->setHasVerified(false);
        showContainer();
    }
    ~SecretAlbumScreenTest() override
    {
        PavSecretAlbumPasswordController_iPad::setBindingScreenFactory({});
        closeCanvas();
    }

    // The album tab on a new canvas, the device album shown.
    void showContainer()
    {
        PavAlbumContainerController_iPad::Collaborators c;
        c.albumScreens = [this](int i) -> AlbumScreen* {
            if (i != 1)
                return new AlbumScreen;
            return screen = new PavSecretAlbumViewController_iPad(collaborators());
        };
        c.hasVerified = [this] { return passwords->hasVerified(); };
        c.usage = [this](int id) { usage.push_back(id); };
        c.center = &center;
        container = new PavAlbumContainerController_iPad(c);
        showCanvas(container);
        spinEvents(10);
    }

    PavSecretAlbumViewController_iPad::Collaborators collaborators()
    {
        PavSecretAlbumViewController_iPad::Collaborators c;
        c.store = store.get();
        c.passwords = passwords.get();
        c.clock = &clock;
        c.zone = QTimeZone::utc();
        c.usage = [this](int id) { usage.push_back(id); };
        c.center = &center;
        c.defaults = &defaults;
        c.idleTimer = &idle;
        c.openPhoto = [this](const PavPhotoModelPtr& photo, const PavPhotoModelList& photos) -> ui::Screen* {
            opened << photo->photoUUID();
            openedListSize = int(photos.size());
            if (!realBrowser)
                return nullptr;
            auto* browser = new PavSecretPhotoBrowserController_iPad(photos, int(photos.indexOf(photo)), store.get(),
                                                                     passwords.get(), [](int) {});
            container->presentFullScreen(browser, false);
            return browser;
        };
        c.makePicker = [] { return new ui::Screen; };
        if (hasCamera)
            c.camera = &camera;
        return c;
    }

    // Shows the private album; the lock sheet comes up while it is locked.
    void showAlbum()
    {
        container->setSelectedIndex(1);
        spinEvents(10);
    }
    // Shows the album unlocked and waits for its listing.
    void showUnlocked()
    {
        ASSERT_TRUE(passwords->verifyPassword(QStringLiteral("1234")));
        showAlbum();
        ASSERT_TRUE(waitUntil([this] { return !screen->isLoading(); }));
    }
    PavSecretAlbumPasswordController_iPad* lockScreen() const
    {
        auto* sheet = qobject_cast<ui::NavigationStack*>(screen->lockSheet());
        return sheet ? qobject_cast<PavSecretAlbumPasswordController_iPad*>(sheet->rootScreen()) : nullptr;
    }
    PavAlbumTableHeaderView_iPad* header(int section) const
    {
        for (QWidget* w : screen->encryptTableView()->visibleHeaders()) {
            auto* h = qobject_cast<PavAlbumTableHeaderView_iPad*>(w);
            if (h && h->section() == section)
                return h;
        }
        return nullptr;
    }
    QString countText() const { return screen->bottomView()->selectedCountLabel()->text(); }
    ui::ChoiceDialog* alertWithText(const QString& text) const
    {
        for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing()) {
            if (d->message() == text)
                return d;
        }
        return nullptr;
    }

    NotificationCenter center;
    UserDefaults defaults;
    std::vector<int> usage;
    QStringList opened;
    int openedListSize = 0;
    bool hasCamera = false;
    FakeCamera camera;
    bool realBrowser = false;
    PavAlbumContainerController_iPad* container = nullptr;
    PavSecretAlbumViewController_iPad* screen = nullptr;
};

bool contains(const std::vector<int>& v, int x)
{
    return std::find(v.begin(), v.end(), x) != v.end();
}

}

TEST_F(SecretAlbumScreenTest, WhileLockedItListsNothingAndAsksForThePassword)
{
    storePhotos(3);
    showAlbum();
    ASSERT_NE(screen->lockSheet(), nullptr);
    ASSERT_NE(lockScreen(), nullptr);
    ImageLoadPool::shared().waitForDone();
    spinEvents(20);
    EXPECT_FALSE(screen->isLoading());
    EXPECT_TRUE(screen->grid().isEmpty());
    EXPECT_TRUE(screen->encryptTableView()->visibleCells().isEmpty());
    // A reload asked for while locked reads nothing either.
    screen->getSecretData();
    EXPECT_FALSE(screen->isLoading());

    // The right password, typed on the lock screen, closes it and loads.
    for (char c : QByteArray("1234"))
        QTest::keyClick(lockScreen(), c);
    // The first unlock offers the recovery binding; "以后再说" goes on.
    ASSERT_TRUE(waitUntil(
        [] { return ui::ChoiceDialog::showingWithTag(1023); }));
    EXPECT_TRUE(screen->grid().isEmpty());
    ui::ChoiceDialog::showingWithTag(1023)->clickButtonAtIndex(0);
    ASSERT_TRUE(waitUntil([this] { return screen->grid().oriDataArray().size() == 3; }));
    EXPECT_TRUE(waitUntil([this] { return !screen->lockSheet(); }));
    EXPECT_FALSE(screen->emptyView()->isVisible());
    EXPECT_TRUE(screen->bottomView()->editButton()->isEnabled());
}

TEST_F(SecretAlbumScreenTest, AFirstPasswordLoadsTheAlbumOnceTheBindingStepIsOver)
{
    PavSecretAlbumPasswordProtectViewController_iPad::Collaborators binding;
    binding.passwords = passwords.get();
    binding.usage = [](int) {};
    PavSecretAlbumPasswordProtectViewController_iPad::registerWithLockScreen(binding);
    ASSERT_TRUE(QFile::remove(passwords->passwordFile().path()));
    storePhotos(2);
    showAlbum();
    ASSERT_NE(lockScreen(), nullptr);
    EXPECT_EQ(lockScreen()->machine().type(), 3);
    for (char c : QByteArray("12341234")) {
        QTest::keyClick(lockScreen(), c);
        if (c == '4') {
            ASSERT_TRUE(waitUntil([this] { return !lockScreen() || !lockScreen()->machine().isSubmitting(); }));
        }
    }
    auto* sheet = qobject_cast<ui::NavigationStack*>(screen->lockSheet());
    ASSERT_TRUE(waitUntil([&] {
        return sheet && qobject_cast<PavSecretAlbumPasswordProtectViewController_iPad*>(sheet->topScreen());
    }));
    EXPECT_TRUE(screen->grid().isEmpty());  // not before the binding step is over
    auto* step = qobject_cast<PavSecretAlbumPasswordProtectViewController_iPad*>(sheet->topScreen());
    step->rightBarButtonItem()->action();  // "跳过"
    ASSERT_TRUE(waitUntil([this] { return screen->grid().oriDataArray().size() == 2 && !screen->isLoading(); }));
    EXPECT_FALSE(screen->presentedScreen());
}

TEST_F(SecretAlbumScreenTest, ClosingTheLockReturnsToTheAlbumShownBefore)
{
    showAlbum();
    ASSERT_NE(lockScreen(), nullptr);
    screen->secretAlbumPasswordControllerWillClose(lockScreen());
    EXPECT_EQ(container->selectedIndex(), 0);
}

TEST_F(SecretAlbumScreenTest, EveryRelockEmptiesTheGridAndDropsAnswersInFlight)
{
    storePhotos(2);
    showUnlocked();
    ASSERT_EQ(screen->grid().oriDataArray().size(), 2);

    passwords->setHasVerified(false);  // the background
    EXPECT_TRUE(screen->grid().isEmpty());
    EXPECT_TRUE(screen->encryptTableView()->visibleCells().isEmpty());

    // A reload under way when the album locks shows nothing when it lands.
    ASSERT_TRUE(passwords->verifyPassword(QStringLiteral("1234")));
    screen->getSecretData();
    ASSERT_TRUE(screen->isLoading());
    passwords->setHasVerified(false);
    ImageLoadPool::shared().waitForDone();
    spinEvents(30);
    EXPECT_TRUE(screen->grid().isEmpty());
    EXPECT_FALSE(screen->isLoading());
}

// Two PNGs claiming ten billion pixels each, enciphered in the album folder
// with no row (a lost index): the album comes up at once and says it is
// being restored; the rows are shown only once the index is whole, and
// never while locked.
TEST_F(SecretAlbumScreenTest, PictureBombsWithoutRowsAreRestoredBehindTheShownAlbum)
{
    closeCanvas();
    store.reset();
    const QString dir = PavPhotoManager::defaultPhotoDir();
    const QByteArray bomb = ImageFixtures::bilevelPng(100000, Qt::red);
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(PavEncryptManager::writeData(bomb, dir + "/" + PavPhotoModel::createFileUUID()));
    std::unique_ptr<HeldIndex> index = HeldIndex::open(dir + "/photo");
    HeldIndex* held = index.get();
    store = std::make_unique<PavPhotoManager>(dir, library, std::move(index), &clock,
                                              PavPhotoManager::IndexRepair::Behind);
    showContainer();
    ASSERT_TRUE(passwords->verifyPassword(QStringLiteral("1234")));
    showAlbum();

    const auto restoring = [](const QString& count) {
        return waitUntil([&] {
            PavProgressView* view = PavProgressView::showing();
            return view && view->text().startsWith(QStringLiteral("正在恢复相册... 已恢复") + count);
        }, 2000);
    };
    ASSERT_TRUE(restoring(QString()));
    ASSERT_TRUE(waitUntil([&] { return held->holding(); }));
    EXPECT_TRUE(restoring(QStringLiteral("2项")));
    EXPECT_TRUE(screen->isVisible());
    EXPECT_TRUE(screen->isLoading());
    EXPECT_TRUE(screen->grid().isEmpty());

    // Locked meanwhile: the sign goes and nothing is read.
    passwords->setHasVerified(false);
    center.post(QStringLiteral("KyAlbumShouldCheckUpdateNotification"));
    spinEvents(300);
    EXPECT_EQ(PavProgressView::showing(), nullptr);
    EXPECT_FALSE(screen->isLoading());
    EXPECT_EQ(container->selectedIndex(), 0);

    ASSERT_TRUE(passwords->verifyPassword(QStringLiteral("1234")));
    showAlbum();
    EXPECT_TRUE(restoring(QStringLiteral("2项")));
    EXPECT_TRUE(screen->grid().isEmpty());
    held->release();
    ASSERT_TRUE(waitUntil([this] { return !screen->isLoading(); }));
    ASSERT_EQ(screen->grid().oriDataArray().size(), 2);
    for (const PavPhotoModelPtr& item : screen->grid().oriDataArray())
        EXPECT_EQ(item->photoType(), PavPhotoModel::Photo);
    EXPECT_EQ(PavProgressView::showing(), nullptr);
    EXPECT_FALSE(screen->emptyView()->isVisible());
}

TEST_F(SecretAlbumScreenTest, AFifoInPlaceOfAnItemHoldsNoWorkerAndTheScreensCanGo)
{
    realBrowser = true;
    storePhotos(2);
    closeCanvas();
    store.reset();
    const QString dir = PavPhotoManager::defaultPhotoDir();
    const QString uuid = "66666666-6666-6666-6666-666666666666";
    const QStringList fifos = {dir + "/" + uuid, dir + "/" + uuid + ".thumb"};
    for (const QString& fifo : fifos)
        ASSERT_TRUE(FifoWatch::make(fifo));
    {
        auto db = SqliteDBManager::initWithFilePath(dir + "/photo");
        ASSERT_TRUE(db->executeSql("INSERT INTO photoes (datetime, photouuid, type, duration, systemurl, localpath) "
                                   "VALUES (1796634000, ?, 1, 0, NULL, ?)",
                                   {uuid, uuid}));
    }
    store = std::make_unique<PavPhotoManager>(dir, library, nullptr, &clock);
    showContainer();

    FifoWatch watch(fifos);
    showUnlocked();
    PavPhotoModelPtr planted;
    for (const PavPhotoModelPtr& item : screen->grid().oriDataArray())
        if (item->photoUUID() == uuid)
            planted = item;
    ASSERT_TRUE(planted);
    // The grid's thumbnails, then the browser's picture and strip on the planted item.
    ImageLoadPool::shared().waitForDone();
    screen->secretPhotoViewDidSelect(planted);
    ASSERT_TRUE(waitUntil([this] { return container->presentedScreen() != nullptr; }));
    spinEvents(300);
    closeCanvas();
    ImageLoadPool::shared().waitForDone();
    store.reset();
    EXPECT_FALSE(watch.fired());
}

TEST_F(SecretAlbumScreenTest, BecomingActiveLeavesEditModeAndHandsTheTabBack)
{
    storePhotos(2);
    showUnlocked();
    screen->editButtonClicked();
    ASSERT_TRUE(screen->isEditInSecretPhotoView());

    passwords->setHasVerified(false);
    center.post(QStringLiteral("KyAlbumShouldCheckUpdateNotification"));
    EXPECT_FALSE(screen->isEditInSecretPhotoView());
    EXPECT_TRUE(screen->grid().isEmpty());
    EXPECT_EQ(container->selectedIndex(), 0);

    // The next showing asks for the password again.
    showAlbum();
    EXPECT_NE(lockScreen(), nullptr);
    EXPECT_TRUE(screen->grid().isEmpty());
    // Becoming active while the lock is on screen keeps the album.
    center.post(QStringLiteral("KyAlbumShouldCheckUpdateNotification"));
    EXPECT_EQ(container->selectedIndex(), 1);
}

TEST_F(SecretAlbumScreenTest, ARelockWithTheBrowserOpenClosesItAndHandsTheTabBack)
{
    realBrowser = true;
    storePhotos(2);
    showUnlocked();
    screen->secretPhotoViewDidSelect(screen->grid().section(0)[0]);
    ASSERT_TRUE(waitUntil([this] { return container->presentedScreen() != nullptr; }));

    // As the application does on becoming active.
    passwords->setHasVerified(false);
    center.post(QStringLiteral("KyAlbumShouldCheckUpdateNotification"));
    ASSERT_TRUE(waitUntil([this] { return container->presentedScreen() == nullptr; }));
    spinEvents(50);
    EXPECT_EQ(container->selectedIndex(), 0);
    EXPECT_EQ(screen->lockSheet(), nullptr);
    EXPECT_TRUE(screen->grid().isEmpty());
}

TEST_F(SecretAlbumScreenTest, CheckAllMoveOutShowsPanelThenSummaryAndLeavesEditMode)
{
    storePhotos(3);
    showUnlocked();
    screen->editButtonClicked();
    EXPECT_EQ(countText(), QString::fromUtf8("请选择照片"));
    EXPECT_FALSE(screen->bottomView()->unlockButton()->isEnabled());
    ASSERT_NE(header(0), nullptr);
    header(0)->checkAllButtonClicked();
    EXPECT_EQ(countText(), QString::fromUtf8("已选择3张照片"));
    EXPECT_TRUE(screen->bottomView()->unlockButton()->isEnabled());

    QTest::mouseClick(screen->bottomView()->unlockButton(), Qt::LeftButton);
    ASSERT_NE(screen->processingView(), nullptr);
    EXPECT_EQ(screen->processingView()->tag(), 50);
    EXPECT_EQ(screen->processingView()->totalCount(), 3u);
    ASSERT_TRUE(waitUntil([this] { return library->pending() == 1; }));
    library->setAutoAnswer(true);
    library->answer(true);

    ASSERT_TRUE(waitUntil([this] { return alertWithText(QString::fromUtf8("照片已成功移到手机相册。")); }));
    EXPECT_EQ(screen->processingView(), nullptr);
    ui::ChoiceDialog* done = alertWithText(QString::fromUtf8("照片已成功移到手机相册。"));
    EXPECT_EQ(done->tag(), 102);
    done->clickButtonAtIndex(1);  // "不再提示"
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("LocalAlbumDecryptSuccessHideAlert")));
    ASSERT_TRUE(waitUntil([this] { return !screen->isLoading(); }));
    EXPECT_FALSE(screen->isEditInSecretPhotoView());
    EXPECT_TRUE(screen->grid().isEmpty());
    EXPECT_TRUE(screen->emptyView()->isVisible());
    EXPECT_FALSE(screen->bottomView()->editButton()->isEnabled());
    EXPECT_TRUE(contains(usage, 27112) && contains(usage, 27133) && contains(usage, 27113));
}

TEST_F(SecretAlbumScreenTest, TheEndOfABatchShowsItsLastCountBeforeThePanelGoes)
{
    storePhotos(2);
    showUnlocked();
    screen->editButtonClicked();
    header(0)->checkAllButtonClicked();
    library->setAutoAnswer(true);
    screen->unlockButtonClicked();
    PavPhotosProcessingView_iPad* panel = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        panel = screen->processingView();
        return panel && panel->isVisible() && panel->progressLabel()->text() == QStringLiteral("(2/2)");
    }));
    // Taps meanwhile change nothing: no stop is recorded, no batch starts.
    panel->cancelButtonClicked();
    screen->unlockButtonClicked();
    EXPECT_FALSE(store->needDecryptionCancel());
    EXPECT_EQ(library->requested(), 2);

    ASSERT_TRUE(waitUntil([this] { return screen->processingView() == nullptr; }));
    EXPECT_NE(alertWithText(QString::fromUtf8("照片已成功移到手机相册。")), nullptr);  // not cancelled
    ASSERT_TRUE(waitUntil([this] { return !screen->isLoading(); }));
    EXPECT_FALSE(screen->isEditInSecretPhotoView());
    EXPECT_TRUE(listed().isEmpty());
}

TEST_F(SecretAlbumScreenTest, ARelockDuringAMoveOutEndsItWithoutAnyMessage)
{
    storePhotos(3);
    showUnlocked();
    screen->editButtonClicked();
    header(0)->checkAllButtonClicked();
    screen->unlockButtonClicked();
    ASSERT_TRUE(waitUntil([this] { return library->pending() == 1; }));
    passwords->setHasVerified(false);
    library->answer(true);
    ASSERT_TRUE(waitUntil([this] { return !screen->isBatchRunning(); }));
    spinEvents(30);
    EXPECT_EQ(screen->processingView(), nullptr);
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty());
    EXPECT_EQ(library->requested(), 1);
    EXPECT_EQ(listed().size(), 2);  // the item in flight was saved, then deleted
    EXPECT_TRUE(screen->grid().isEmpty());  // nothing reloads while locked
}

TEST_F(SecretAlbumScreenTest, DeleteAsksFirstThenDeletesTheChosenItems)
{
    storePhotos(3);
    showUnlocked();
    screen->editButtonClicked();
    const PavPhotoModelPtr chosen = screen->grid().section(0)[1];
    chosen->setIsChecked(true);
    screen->secretPhotoViewSelected(chosen);
    EXPECT_EQ(countText(), QString::fromUtf8("已选择1张照片"));

    screen->deleteButtonClicked();
    auto* confirm = ui::ChoiceDialog::showingWithTag(110);
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(confirm->message(), QString::fromUtf8("确定要删除照片？"));
    confirm->clickButtonAtIndex(0);  // "取消"
    EXPECT_FALSE(screen->isBatchRunning());
    EXPECT_EQ(listed().size(), 3);

    screen->deleteButtonClicked();
    ui::ChoiceDialog::showingWithTag(110)->clickButtonAtIndex(1);
    ASSERT_TRUE(waitUntil([] { return PavToastView_iPad::showing(); }));
    EXPECT_EQ(PavToastView_iPad::showing()->message(), QString::fromUtf8("1张照片删除成功！"));
    ASSERT_TRUE(waitUntil([this] { return screen->grid().oriDataArray().size() == 2; }));
    for (const auto& p : listed())
        EXPECT_NE(p->photoUUID(), chosen->photoUUID());
}

TEST_F(SecretAlbumScreenTest, OpeningTakesTheListOfTheTapAndIgnoresASecondTap)
{
    storePhotos(3);
    showUnlocked();
    const PavPhotoModelPtr tapped = screen->grid().section(0)[2];
    screen->secretPhotoViewDidSelect(tapped);
    screen->secretPhotoViewDidSelect(screen->grid().section(0)[0]);
    ASSERT_TRUE(waitUntil([this] { return !opened.isEmpty(); }));
    spinEvents(150);
    EXPECT_EQ(opened, QStringList({tapped->photoUUID()}));
    EXPECT_EQ(openedListSize, 3);
}

TEST_F(SecretAlbumScreenTest, AddingFromTheCameraOrThePicker)
{
    showUnlocked();
    EXPECT_TRUE(screen->emptyView()->isVisible());
    // The default camera: these machines have none.
    screen->cameraAddButtonClicked();
    EXPECT_NE(alertWithText(QString::fromUtf8("本设备没有拍照功能")), nullptr);
    EXPECT_EQ(screen->presentedScreen(), nullptr);

    hasCamera = true;
    // A second album screen, made with a camera, stores the photo it takes;
    // cancelling stores nothing.
    auto* withCamera = new PavSecretAlbumViewController_iPad(collaborators());
    auto* stack = new ui::NavigationStack(withCamera);
    stack->resize(615, 748);
    stack->show();
    withCamera->beginAppearanceTransition(true, false);
    withCamera->endAppearanceTransition();
    ASSERT_TRUE(waitUntil([&] { return !withCamera->isLoading(); }));
    withCamera->cameraAddButtonClicked();
    ASSERT_NE(camera.screen(), nullptr);
    camera.take(QImage());
    spinEvents(50);
    EXPECT_TRUE(listed().isEmpty());
    withCamera->cameraAddButtonClicked();
    ASSERT_NE(camera.screen(), nullptr);
    EXPECT_EQ(withCamera->presentedScreen(), camera.screen());
    QImage taken(32, 24, QImage::Format_RGB32);
    taken.fill(Qt::blue);
    camera.take(taken);
    ASSERT_TRUE(waitUntil([&] { return withCamera->grid().oriDataArray().size() == 1 && !withCamera->isLoading(); }));
    EXPECT_FALSE(withCamera->emptyView()->isVisible());
    EXPECT_EQ(withCamera->presentedScreen(), nullptr);  // the camera closed
    const QImage stored = PavPhotoManager::decryptPhotoWithFullPath(store->getPhotoFullPath(*listed().first()));
    EXPECT_EQ(stored.size(), QSize(32, 24));

    withCamera->systemAlbumAddButtonClicked();
    EXPECT_EQ(stack->count(), 2);
    withCamera->backToNormalMode();
    EXPECT_EQ(stack->count(), 1);
    EXPECT_TRUE(contains(usage, 27110) && contains(usage, 27111));
    delete stack;
}

TEST_F(SecretAlbumScreenTest, Screenshots)
{
    storePhotos(7);
    clock.advanceSeconds(-86400);
    storePhotos(3);
    clock.setNow(QDateTime(QDate(2024, 6, 15), QTime(12, 0), Qt::UTC));
    showAlbum();
    ASSERT_NE(lockScreen(), nullptr);
    spinEvents(50);
    EXPECT_FALSE(saveScreenshot(canvas.get(), QStringLiteral("private_album_locked.png")).isEmpty());

    ASSERT_TRUE(passwords->verifyPassword(QStringLiteral("1234")));
    screen->secretAlbumPasswordControllerDidPassVerification(lockScreen());
    ASSERT_TRUE(waitUntil([this] { return !screen->isLoading() && !screen->grid().isEmpty(); }));
    screen->editButtonClicked();
    QList<PavSecretPhotoView_iPad*> tiles;
    for (QWidget* cell : screen->encryptTableView()->visibleCells())
        tiles << cell->findChildren<PavSecretPhotoView_iPad*>();
    ASSERT_EQ(tiles.size(), 10);
    QTest::mouseClick(tiles[1], Qt::LeftButton);
    EXPECT_EQ(countText(), QString::fromUtf8("已选择1张照片"));
    ASSERT_NE(header(1), nullptr);
    header(1)->checkAllButtonClicked();
    ImageLoadPool::shared().waitForDone();
    spinEvents(100);
    EXPECT_FALSE(saveScreenshot(canvas.get(), QStringLiteral("private_album_unlocked.png")).isEmpty());
}
