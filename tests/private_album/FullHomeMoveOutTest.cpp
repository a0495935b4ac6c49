#include "Public/PavProgressView.h"
#include "albums/browser/PavSecretPhotoBrowserController_iPad.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/private/SecretAlbumBatch.h"
#include "albums/private/SecretBatchSummary.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "platform/sys/IdleInhibitBackend.h"
#include "platform/sys/IdleTimer.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// The private album on a small tmpfs mounted over the home's Documents, the
// photo library on another disk. A test that may not mount is skipped.
class FullHomeMoveOutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString documents = home.documents();
        ASSERT_TRUE(QDir().mkpath(documents));
        if (::mount("tmpfs", QFile::encodeName(documents).constData(), "tmpfs", 0, "size=2m,mode=0700") != 0)
            GTEST_SKIP() << "cannot mount a tmpfs here: " << std::strerror(errno);
        m_mounted = documents;
        ui::Animations::setEnabled(false);
        library = std::make_shared<FolderPhotoLibrary>(libraryDir.path());
        store = std::make_unique<PavPhotoManager>(documents + "/photo", library);
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(store->encryptImage(ImageFixtures::pattern(160, 120, i)));
        items = store->photoes();
        ASSERT_EQ(items.size(), 3);
    }
    void TearDown() override
    {
        PavProgressView::dismiss();
        spinEvents(0);
        if (m_mounted.isEmpty())
            return;
        ui::Animations::setEnabled(true);
        store.reset();
        if (::umount(QFile::encodeName(m_mounted).constData()) != 0)
            ::umount2(QFile::encodeName(m_mounted).constData(), MNT_DETACH);
    }

    // Fills the home's disk to its last byte.
    void fillHome()
    {
        const QByteArray path = QFile::encodeName(m_mounted + "/filler");
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        const QByteArray chunk(65536, 'f');
        for (qsizetype size : {65536, 4096, 512, 1})
            while (::write(fd, chunk.constData(), size_t(size)) == size) {
            }
        const int error = errno;
        ::close(fd);
        ASSERT_EQ(error, ENOSPC);
    }
    QStringList libraryFiles() const { return QDir(libraryDir.path()).entryList(QDir::Files | QDir::Hidden); }
    void expectStillPrivate()
    {
        ASSERT_EQ(store->photoes().size(), items.size());
        for (const PavPhotoModelPtr& item : items)
            EXPECT_TRUE(store->hasItemFiles(*item));
    }

    TempHome home;
    QTemporaryDir libraryDir;
    std::shared_ptr<FolderPhotoLibrary> library;
    std::unique_ptr<PavPhotoManager> store;
    PavPhotoModelList items;
    IdleTimer idle;

private:
    QString m_mounted;
};

}

TEST_F(FullHomeMoveOutTest, ASingleMoveOutThatCannotDeleteLeavesTheLibraryAsItWas)
{
    PavAlbumPasswordManager lock;
    lock.setHasVerified(true);
    ui::Canvas canvas;
    auto* root = new ui::Screen;
    canvas.setRootScreen(root);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    QPointer<PavSecretPhotoBrowserController_iPad> browser =
        new PavSecretPhotoBrowserController_iPad(items, 1, store.get(), &lock, [](int) {});
    root->presentFullScreen(browser, false);

    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        fillHome();
        browser->decryptButtonClicked();
        ASSERT_TRUE(waitUntil([] { return ui::Alert::showingAlertWithTag(0) != nullptr; }));
        ui::Alert* failed = ui::Alert::showingAlertWithTag(0);
        EXPECT_EQ(failed->message(), QStringLiteral("操作失败，请稍候重试。"));
        EXPECT_EQ(libraryFiles().join(' ').toStdString(), "");
        expectStillPrivate();
        EXPECT_EQ(browser->photo(), items[1]);
        failed->clickButtonAtIndex(0);
        spinEvents(10);
    }
}

TEST_F(FullHomeMoveOutTest, ABatchMoveOutThatCannotDeleteLeavesTheLibraryAsItWas)
{
    SecretAlbumBatch batch(*store, idle);
    std::optional<BatchOutcome> outcome;
    SecretAlbumBatch::Listener listener;
    listener.finished = [&](SecretAlbumBatch::Kind, const BatchOutcome& o) { outcome = o; };
    batch.setListener(std::move(listener));

    for (int attempt = 0; attempt < 3; ++attempt) {
        SCOPED_TRACE(attempt);
        fillHome();
        outcome.reset();
        ASSERT_TRUE(batch.start(SecretAlbumBatch::Kind::MoveOut, items));
        ASSERT_TRUE(waitUntil([&] { return outcome.has_value(); }, 10000));
        EXPECT_EQ(outcome->counts().failed, 3u);
        EXPECT_EQ(SecretBatchSummary::of(SecretAlbumBatch::Kind::MoveOut, outcome->counts(), false).text,
                  QStringLiteral("移出失败，请稍候重试！"));
        EXPECT_EQ(libraryFiles().join(' ').toStdString(), "");
        expectStillPrivate();
    }

    // Once the disk has room, the same move completes.
    ASSERT_TRUE(QFile::remove(home.documents() + "/filler"));
    outcome.reset();
    ASSERT_TRUE(batch.start(SecretAlbumBatch::Kind::MoveOut, items));
    ASSERT_TRUE(waitUntil([&] { return outcome.has_value(); }, 10000));
    EXPECT_EQ(outcome->counts().succeeded, 3u);
    EXPECT_EQ(libraryFiles().size(), 3);
    EXPECT_TRUE(store->photoes().isEmpty());
}
