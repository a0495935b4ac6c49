// The device album at the first start of a new account, with the library
// wired as main() wires it.

#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/store/PavAssetsManager.h"
#include "albums/widgets/PavAlbumEmptyView_iPad.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "shell/LaunchOptions.h"
#include "support/DeviceAlbumScreen.h"
#include "support/EventLoop.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <sys/stat.h>

namespace {

class FirstStartLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(user()));
        // A fresh account: a home with no pictures folder and no user-dirs file.
        for (const char* name : {"HOME", "XDG_CONFIG_HOME"})
            m_saved.emplace_back(name, qgetenv(name));
        qputenv("HOME", QFile::encodeName(user()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(user() + "/.config"));
    }
    void TearDown() override
    {
        KyAssetsLibrary::shareAssetsLibrary().setLibrary(nullptr);
        spinEvents(20);
        for (const auto& [name, value] : m_saved)
            qputenv(name, value);
    }

    QString user() const { return m_dir.path() + "/user"; }

    // Starts with `flags` under the user's mask 027, then shows the device
    // album until its first load has ended.
    void start(const QStringList& flags)
    {
        LaunchOptions options;
        QString message;
        ASSERT_EQ(LaunchOptions::parse(QStringList{"padolvo", "--home", m_dir.path() + "/app", "--disk-root",
                                                   m_dir.path() + "/disk"} + flags,
                                       &options, &message),
                  LaunchOptions::Parse::Run)
            << message.toStdString();
        const mode_t previous = ::umask(027);
        options.apply();
        ::umask(previous);
        m_reader = std::make_unique<PavAssetsManager>([] { return KyAssetsLibrary::shareAssetsLibrary().library(); });
        m_album.reset(newDeviceAlbumScreen(m_reader.get()));
        m_album->beginAppearanceTransition(true, false);
        m_album->endAppearanceTransition();
        ASSERT_TRUE(waitUntil([&] {
            m_reader->drain();
            return !m_album->isUpdating();
        }));
        spinEvents(30);
    }
    bool showsRefusal() const { return !m_album->locationDisabledView()->isHidden(); }
    bool showsEmpty() const { return !m_album->emptyView()->isHidden(); }

    QTemporaryDir m_dir;
    std::vector<std::pair<const char*, QByteArray>> m_saved;
    std::unique_ptr<PavAssetsManager> m_reader;
    std::unique_ptr<PavSystemAlbumViewController_iPad> m_album;
};

}

TEST_F(FirstStartLibraryTest, WithoutAPicturesFolderTheAlbumIsEmptyAndTheFolderIsMade)
{
    const QString pictures = user() + "/Pictures";
    ASSERT_FALSE(QFileInfo::exists(pictures));
    start({});
    EXPECT_FALSE(showsRefusal());
    EXPECT_TRUE(showsEmpty());
    EXPECT_EQ(m_album->emptyView()->tipsLabel()->text(), "暂无照片");
    struct stat st{};
    ASSERT_EQ(::stat(QFile::encodeName(pictures).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0750u);   // the user's mask, as the user's own tools make it
}

TEST_F(FirstStartLibraryTest, ALibraryFolderNamedOnTheCommandLineIsTakenAsItIs)
{
    const QString named = m_dir.path() + "/Elsewhere";
    start({"--library", named});
    EXPECT_TRUE(showsRefusal());
    EXPECT_FALSE(showsEmpty());
    EXPECT_FALSE(QFileInfo::exists(named));
    EXPECT_FALSE(QFileInfo::exists(user() + "/Pictures"));
}
