// The application started as a child process over real folders, as a user
// on a shared machine would start it.

#include "albums/store/PavPhotoManager.h"
#include "Public/PavEncryptManager.h"
#include "support/CrashRecords.h"
#include "support/ImageFixtures.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>

namespace {

mode_t modeOf(const QString& path)
{
    struct stat st{};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode : 0;
}

void makeFile(const QString& path, const QByteArray& bytes, mode_t mode)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(ImageFixtures::writeFile(path, bytes));
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
}

class LaunchedAppTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Folders the user named, made beforehand with the usual modes.
        for (const QString& folder : {home(), library(), diskRoot()}) {
            ASSERT_TRUE(QDir().mkpath(folder));
            ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
        }
        for (int i = 0; i < kPhotos; ++i)
            makeFile(library() + QStringLiteral("/IMG_%1.JPG").arg(i, 4, 10, QChar('0')),
                     ImageFixtures::jpeg(1600, 1200, i), 0644);
    }

    QString home() const { return m_dir.path() + "/home"; }
    QString library() const { return m_dir.path() + "/Pictures"; }
    QString diskRoot() const { return m_dir.path() + "/disk"; }

    // Starts the application under the usual umask and reads its lines until
    // one starts with `until`.
    void start(const QString& program = "launch_child")
    {
        const mode_t previous = ::umask(022);
        m_child.start(PAV_TEST_BIN_DIR "/" + program,
                      {"--home", home(), "--library", library(), "--disk-root", diskRoot()});
        ::umask(previous);
        ASSERT_TRUE(m_child.waitForStarted(10000));
    }
    bool waitForLine(const QByteArray& prefix)
    {
        while (m_child.state() == QProcess::Running || m_child.bytesAvailable() > 0) {
            if (m_child.canReadLine()) {
                const QByteArray line = m_child.readLine().trimmed();
                m_lines << line;
                if (line.startsWith(prefix))
                    return true;
                continue;
            }
            if (m_child.state() != QProcess::Running)
                break;
            m_child.waitForReadyRead(60000);
        }
        return false;
    }
    // The child says its album's size as it polls it, so a count can be
    // passed over: waits for one at least `count`.
    bool waitForStored(int count)
    {
        while (waitForLine("stored "))
            if (m_lines.last().mid(7).toInt() >= count)
                return true;
        return false;
    }
    void terminate(int sig)
    {
        ::kill(pid_t(m_child.processId()), sig);
        ASSERT_TRUE(m_child.waitForFinished(60000));
        m_lines << m_child.readAllStandardOutput().split('\n');
        EXPECT_EQ(m_child.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(m_child.exitCode(), 0);
    }
    QByteArray libraryDigest() const
    {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (const QString& name : QDir(library()).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
            hash.addData(name.toUtf8());
            hash.addData(ImageFixtures::readFile(library() + "/" + name));
        }
        return hash.result();
    }
    QString log() const { return QString::fromUtf8(m_lines.join('\n')); }
    // The private album folder copied without its write-ahead log, as a
    // backup of the files alone takes it.
    QString copyAlbumWithoutLog() const
    {
        const QString from = home() + "/Documents/photo";
        const QString to = m_dir.path() + "/copy/photo";
        QDir(m_dir.path() + "/copy").removeRecursively();
        EXPECT_TRUE(QDir().mkpath(to));
        for (const QString& name : QDir(from).entryList(QDir::Files | QDir::Hidden))
            if (name != "photo-wal" && name != "photo-shm") {
                EXPECT_TRUE(QFile::copy(from + "/" + name, to + "/" + name)) << name.toStdString();
            }
        return to;
    }

    static constexpr int kPhotos = 24;
    QTemporaryDir m_dir;
    QProcess m_child;
    QByteArrayList m_lines;
};

TEST_F(LaunchedAppTest, EverythingItMakesIsItsUsersAloneAndEarlierRunsAreTightened)
{
    // An earlier run's files, made before the modes were private, and a
    // defaults file that no longer parses.
    makeFile(home() + "/Documents/resource", "usage", 0644);
    makeFile(home() + "/Library/Caches/DiskFiles/old.jpg", "old", 0644);
    ASSERT_EQ(::chmod(QFile::encodeName(home() + "/Library/Caches").constData(), 0755), 0);
    const QByteArray damaged = "{\"PavLastVersion\": \"2.4";
    makeFile(home() + "/Library/Preferences/defaults.json", damaged, 0644);
    makeFile(diskRoot() + "/blobs/old-blob", "blob", 0644);
    makeFile(diskRoot() + "/notes.txt", "the user's own file", 0644);

    start();
    ASSERT_TRUE(waitForLine("done")) << log().toStdString();
    terminate(SIGTERM);

    // The damaged defaults were kept aside, and the launch went on.
    const QStringList aside = QDir(home() + "/Library/Preferences").entryList({"defaults.json.damaged-*"});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(ImageFixtures::readFile(home() + "/Library/Preferences/" + aside.first()), damaged);
    EXPECT_TRUE(QFile::exists(home() + "/Library/Preferences/defaults.json"));

    // The photo saved into the library is an ordinary picture for the user's
    // other programs.
    const QStringList pictures = QDir(library()).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(pictures.size(), kPhotos + 1);
    int shared = 0;
    for (const QString& name : pictures)
        shared += (modeOf(library() + "/" + name) & 0777) == 0644;
    EXPECT_EQ(shared, kPhotos + 1);

    // The folders the user named keep their mode, and so does the user's file.
    EXPECT_EQ(modeOf(home()) & 0777, 0755u);
    EXPECT_EQ(modeOf(diskRoot()) & 0777, 0755u);
    EXPECT_EQ(modeOf(diskRoot() + "/notes.txt") & 0777, 0644u);
    int seen = 0;
    for (const QString& top : {home(), diskRoot()}) {
        QDirIterator it(top, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (path == diskRoot() + "/notes.txt")
                continue;
            ++seen;
            EXPECT_EQ(modeOf(path) & 077, 0u) << path.toStdString() << " mode " << std::oct << modeOf(path);
        }
    }
    // The private album, the usage store, the disk index and a blob at least.
    EXPECT_GT(seen, 10);
    EXPECT_TRUE(QFile::exists(diskRoot() + "/index.db"));
}

TEST_F(LaunchedAppTest, SigtermDuringAnEncryptBatchEndsCleanlyWithEveryPhotoStoredOnceOrNotAtAll)
{
    // Enough photos that the batch is still running when the signal lands,
    // however busy the machine.
    constexpr int kMore = 56;
    for (int i = 0; i < kMore; ++i)
        makeFile(library() + QStringLiteral("/DSC_%1.JPG").arg(i, 4, 10, QChar('0')),
                 ImageFixtures::jpeg(2400, 1800, 100 + i), 0644);
    const QByteArray before = libraryDigest();
    start();
    ASSERT_TRUE(waitForStored(2)) << log().toStdString();
    terminate(SIGTERM);
    EXPECT_TRUE(m_lines.contains("exit 0")) << log().toStdString();

    // No crash was recorded, nor left as a report for the next launch.
    EXPECT_TRUE(CrashRecords::storedIn(home() + "/Documents").empty());
    EXPECT_TRUE(QDir(home() + "/Documents").entryList({"crash_*"}).isEmpty());

    PavPhotoManager store(home() + "/Documents/photo", nullptr);
    const PavPhotoModelList items = store.photoes();
    EXPECT_GE(items.size(), 2);
    EXPECT_LT(items.size(), kPhotos + kMore) << "the batch was not stopped";
    QSet<QString> urls;
    for (const PavPhotoModelPtr& item : items) {
        EXPECT_FALSE(urls.contains(item->photoURL())) << "stored twice: " << item->photoURL().toStdString();
        urls.insert(item->photoURL());
        EXPECT_FALSE(PavPhotoManager::decryptPhotoWithFullPath(store.getPhotoFullPath(*item)).isNull());
    }
    EXPECT_EQ(libraryDigest(), before);

    // At rest the index file alone holds every row, as stored (with its URL).
    PavPhotoManager copy(copyAlbumWithoutLog(), nullptr);
    EXPECT_EQ(copy.photoes().size(), items.size());
    for (const PavPhotoModelPtr& item : copy.photoes())
        EXPECT_TRUE(urls.contains(item->photoURL())) << item->photoUUID().toStdString();
}

TEST_F(LaunchedAppTest, AHomeCopiedWithoutItsLogAfterAKillShowsEveryStoredPhoto)
{
    start();
    ASSERT_TRUE(waitForStored(5)) << log().toStdString();
    ::kill(pid_t(m_child.processId()), SIGKILL);
    ASSERT_TRUE(m_child.waitForFinished(30000));
    const QString copied = copyAlbumWithoutLog();
    QStringList fullFiles = QDir(copied).entryList({"*-*-*-*-*"}, QDir::Files);
    fullFiles.removeIf([](const QString& name) { return name.contains('.'); });
    ASSERT_GE(fullFiles.size(), 5);

    PavPhotoManager store(copied, nullptr);
    const PavPhotoModelList items = store.photoes();
    EXPECT_EQ(items.size(), fullFiles.size());
    for (const PavPhotoModelPtr& item : items) {
        EXPECT_TRUE(store.hasItemFiles(*item));
        EXPECT_EQ(item->photoType(), PavPhotoModel::Photo);
        EXPECT_EQ(PavPhotoManager::decryptPhotoWithFullPath(store.getPhotoFullPath(*item)).size(), QSize(1600, 1200));
    }
    // Only the thumbnail of a photo the kill cut off before its full file may
    // have been moved aside: no photo goes there.
    for (const QString& name : QDir(copied + "/Quarantine").entryList(QDir::Files))
        EXPECT_TRUE(name.endsWith(".thumb")) << name.toStdString();
}

TEST_F(LaunchedAppTest, AStartRemovesWhatUnfinishedLibrarySavesLeftAndNothingElse)
{
    ASSERT_TRUE(QDir().mkpath(library() + "/Trip"));
    const QString gone = ".IMG_20260101_101010.4194999.3.pavtmp";
    const QStringList leftovers = {gone, gone + ".4194999.7ffc12ab.pavtmp", "Trip/.IMG_20260101_101011.4194998.0.pavtmp"};
    // A save of a process that still runs, and the user's own names.
    const QString live = QStringLiteral(".IMG_20260101_101012.%1.1.pavtmp").arg(::getpid());
    const QStringList kept = {live, "notes.pavtmp", ".hidden", "Trip/IMG_1.pavtmp.txt", "Trip/.IMG_x.pavtmp"};
    for (const QString& name : leftovers + kept)
        makeFile(library() + "/" + name, ImageFixtures::jpeg(64, 48, 1), 0644);

    start();
    ASSERT_TRUE(waitForLine("done")) << log().toStdString();
    terminate(SIGTERM);
    for (const QString& name : leftovers)
        EXPECT_FALSE(QFile::exists(library() + "/" + name)) << name.toStdString();
    for (const QString& name : kept)
        EXPECT_TRUE(QFile::exists(library() + "/" + name)) << name.toStdString();
}

TEST_F(LaunchedAppTest, SigintAndSighupEndItAsSigtermDoes)
{
    for (int sig : {SIGINT, SIGHUP}) {
        m_lines.clear();
        start();
        ASSERT_TRUE(waitForLine("stored ")) << log().toStdString();
        terminate(sig);
        EXPECT_TRUE(m_lines.contains("exit 0")) << sig;
    }
    EXPECT_TRUE(CrashRecords::storedIn(home() + "/Documents").empty());
}

TEST_F(LaunchedAppTest, SigtermWhileTheCameraPhotoGoesUpEndsItCleanly)
{
    start("camera_upload_child");
    ASSERT_TRUE(waitForLine("uploading")) << log().toStdString();
    terminate(SIGTERM);
    EXPECT_TRUE(m_lines.contains("exit 0")) << log().toStdString();
}

}
