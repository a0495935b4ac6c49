// The application started with paths whose bytes are not UTF-8.

#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/store/PavAssetsManager.h"
#include "albums/widgets/PavAlbumEmptyView_iPad.h"
#include "platform/photolib/FolderScan.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "shell/LaunchOptions.h"
#include "support/DeviceAlbumScreen.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// QTemporaryDir cannot remove a name that is not UTF-8.
void removeFolderOfFiles(const QByteArray& folder)
{
    if (DIR* d = ::opendir(folder.constData())) {
        while (const dirent* e = ::readdir(d)) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                ::unlink((folder + "/" + e->d_name).constData());
        }
        ::closedir(d);
    }
    ::rmdir(folder.constData());
}

// Starts the application through the shell, whose printf adds the byte 0xFE
// to the path given last, with `badFlag` (the last value of a flag counts).
int runWithByteInPath(const QString& base, const QString& badFlag, QByteArray* errors)
{
    const QString script =
        QStringLiteral("exec \"$0\" --home \"$1/home\" --library \"$1/library\" --disk-root \"$1/disk\""
                       " \"$2\" \"$3$(printf '\\376')\"");
    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
        env.insert(name, base + "/xdg");
    app.setProcessEnvironment(env);
    app.start("/bin/sh", {"-c", script, PAV_APP_BIN, base, badFlag, base + (badFlag == "--home" ? "/home" : "/disk")});
    if (!app.waitForFinished(20000)) {
        app.kill();
        app.waitForFinished();
        return -1;
    }
    *errors = app.readAllStandardError();
    return app.exitStatus() == QProcess::NormalExit ? app.exitCode() : -1;
}

}

// Qt's file functions would take such a home or disk store for another
// folder: the start refuses it with the usage error status and makes nothing.
TEST(StartPaths, AHomeOrDiskRootThatIsNotUtf8IsRefusedAndNoOtherFolderIsMade)
{
    for (const QString flag : {"--home", "--disk-root"}) {
        QTemporaryDir dir;
        ASSERT_TRUE(QDir().mkpath(dir.path() + "/library"));
        QByteArray errors;
        EXPECT_EQ(runWithByteInPath(dir.path(), flag, &errors), 2) << flag.toStdString();
        EXPECT_TRUE(errors.contains(flag.toUtf8()) && errors.contains("not valid UTF-8")) << errors.constData();
        const QStringList made = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        EXPECT_TRUE(made.filter("disk").isEmpty() && made.filter("home" + QString(QChar::ReplacementCharacter)).isEmpty())
            << made.join(' ').toStdString();
        if (flag == "--home") {
            EXPECT_EQ(made, QStringList{"library"});
        }
    }
}

// A library folder whose name is not UTF-8 is the folder named: its photo is
// listed and a save goes into it.
TEST(StartPaths, ALibraryWhoseNameIsNotUtf8IsTheFolderNamed)
{
    QTemporaryDir dir;
    const QByteArray base = QFile::encodeName(dir.path());
    const QByteArray library = base + "/lib\xff";
    ASSERT_EQ(::mkdir(library.constData(), 0755), 0);
    ASSERT_TRUE(ImageFixtures::writeFile(dir.path() + "/photo.jpg", ImageFixtures::jpeg(64, 48, 1)));
    ASSERT_EQ(::rename((base + "/photo.jpg").constData(), (library + "/IMG_1.JPG").constData()), 0);
    const auto restore = qScopeGuard([&] {
        KyAssetsLibrary::shareAssetsLibrary().setLibrary(nullptr);
        removeFolderOfFiles(library);
    });

    const QByteArray home = base + "/home", disk = base + "/disk";
    const char* argv[] = {"padolvo", "--home", home.constData(), "--library", library.constData(), "--disk-root",
                          disk.constData()};
    LaunchOptions options;
    QString message;
    ASSERT_EQ(LaunchOptions::parse(LaunchOptions::arguments(7, argv), &options, &message), LaunchOptions::Parse::Run);
    options.apply();
    PavAssetsManager reader([] { return KyAssetsLibrary::shareAssetsLibrary().library(); });
    std::unique_ptr<PavSystemAlbumViewController_iPad> album(newDeviceAlbumScreen(&reader));
    album->beginAppearanceTransition(true, false);
    album->endAppearanceTransition();
    ASSERT_TRUE(waitUntil([&] {
        reader.drain();
        return !album->isUpdating();
    }));
    EXPECT_TRUE(album->locationDisabledView()->isHidden());
    EXPECT_EQ(album->assetsArray().size(), 1);

    bool saved = false;
    KyAssetsLibrary::shareAssetsLibrary().library()->saveToLibrary(
        ImageFixtures::jpeg(32, 32, 2), "JPG", {}, [&](const PhotoLibrary::SaveResult& result) {
            EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
            saved = true;
        });
    ASSERT_TRUE(waitUntil([&] { return saved; }));
    EXPECT_EQ(FolderScan::scan(options.library).size(), 2u);
    struct stat st{};
    EXPECT_NE(::stat((base + "/lib\xef\xbf\xbd").constData(), &st), 0) << "a folder of another name";
}
