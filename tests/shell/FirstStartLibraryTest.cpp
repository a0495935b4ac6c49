#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/store/PavAssetsManager.h"
#include "albums/widgets/PavAlbumEmptyView_iPad.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "shell/LaunchOptions.h"
#include "support/DeviceAlbumScreen.h"
#include "support/EventLoop.h"

#include <QFileInfo>
#include <QLabel>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>

namespace {

// Starts with `flags` as main() does, under the user's mask 027, and shows
// the device album until its first load has ended.
std::unique_ptr<PavSystemAlbumViewController_iPad> startAndShowAlbum(const QString& dir, const QStringList& flags,
                                                                      PavAssetsManager* reader)
{
    LaunchOptions options;
    QString message;
    EXPECT_EQ(LaunchOptions::parse(QStringList{"padolvo", "--home", dir + "/app", "--disk-root", dir + "/disk"} + flags,
                                   &options, &message),
              LaunchOptions::Parse::Run);
    const mode_t previous = ::umask(027);
    options.apply();
    ::umask(previous);
    std::unique_ptr<PavSystemAlbumViewController_iPad> album(newDeviceAlbumScreen(reader));
    album->beginAppearanceTransition(true, false);
    album->endAppearanceTransition();
    EXPECT_TRUE(waitUntil([&] {
        reader->drain();
        return !album->isUpdating();
    }));
    spinEvents(30);
    return album;
}

}

TEST(FirstStartLibrary, ANewAccountGetsAnEmptyAlbumAndItsPicturesFolderWhileANamedFolderIsTakenAsItIs)
{
    // A new account: a home with no pictures folder and no user-dirs file.
    QTemporaryDir dir;
    const QByteArray home = qgetenv("HOME"), config = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        KyAssetsLibrary::shareAssetsLibrary().setLibrary(nullptr);
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", config);
    });
    qputenv("HOME", QFile::encodeName(dir.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.path() + "/.config"));
    const QString pictures = dir.path() + "/Pictures";
    PavAssetsManager reader([] { return KyAssetsLibrary::shareAssetsLibrary().library(); });

    auto album = startAndShowAlbum(dir.path(), {"--library", dir.path() + "/Named"}, &reader);
    EXPECT_FALSE(album->locationDisabledView()->isHidden());
    EXPECT_FALSE(QFileInfo::exists(dir.path() + "/Named"));
    EXPECT_FALSE(QFileInfo::exists(pictures));

    album = startAndShowAlbum(dir.path(), {}, &reader);
    EXPECT_TRUE(album->locationDisabledView()->isHidden());
    EXPECT_FALSE(album->emptyView()->isHidden());
    EXPECT_EQ(album->emptyView()->tipsLabel()->text(), "暂无照片");
    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(pictures).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0750u);   // under the user's own mask
}
