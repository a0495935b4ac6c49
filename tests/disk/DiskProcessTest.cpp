#include "DiskFixture.h"

#include "Public/SqliteDBManager.h"
#include "disk/DiskFileCache.h"
#include "disk/DiskStoreUpload.h"
#include "support/ChildProcess.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <csignal>

namespace {

const QString kChild = PAV_TEST_BIN_DIR "/disk_upload_child";

// Other runs of the program over the same store (and, for some, the same home).
class DiskProcessTest : public DiskFixture {
protected:
    // The other runs read the real clock: sign-in keys must not look lapsed to them.
    DiskProcessTest() { clock.setNow(QDateTime::currentDateTimeUtc()); }

    QString source(const QString& name, const QByteArray& bytes)
    {
        const QString path = home.path(name);
        EXPECT_TRUE(ImageFixtures::writeFile(path, bytes));
        return path;
    }

    // Runs an upload that stops after `chunks` chunks and kills it there;
    // answers the id of the file it registered.
    QString killedUpload(const QString& path, const QString& name, int chunks)
    {
        QProcess child;
        child.start(kChild, {home.root(), storeDir.path(), path, name, "--stall-after", QString::number(chunks)});
        if (!child.waitForStarted(10000))
            return {};
        QByteArray output;
        while (!output.contains('\n') && child.state() == QProcess::Running) {
            child.waitForReadyRead(30000);
            output += child.readAllStandardOutput();
        }
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(10000);
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
        return output.startsWith("stalled ") ? QString::fromUtf8(output.mid(8).trimmed()) : QString();
    }

    // The next start of the program: a new facade, signed in again.
    DiskDirPtr nextStart()
    {
        manager = std::make_unique<DiskManager>([this] { return store; }, [this] { return login->sessionKey(); });
        return signIn();
    }

    QByteArray download(const DiskFilePtr& file)
    {
        QFile::remove(file->file_path());
        RecordingDiskResponse r;
        manager->requestDownloadFile(file, &r);
        return waitForLog(r, 1) && r.log.first() == "download ok" ? ImageFixtures::readFile(file->file_path())
                                                                   : QByteArray();
    }
};

TEST_F(DiskProcessTest, AnUploadKilledWithItsProcessGoesOnAtTheNextSignInWithIdenticalBytes)
{
    ASSERT_TRUE(signIn());
    // Killed four chunks past the first sync of its bytes.
    const qint64 synced = DiskStoreUpload::kSyncBytes;
    const QByteArray bytes = bytePattern(int(synced + 20 * 64 * 1024 + 77), 1);
    const QString id = killedUpload(source("kept.bin", bytes), "kept.bin", int(synced / (64 * 1024)) + 4);
    ASSERT_FALSE(id.isEmpty());

    // What the killed run left: its row, recording the bytes synced last,
    // and a blob that holds at least as much.
    DiskStoreFile stored;
    ASSERT_EQ(store->fileInfo(login->sessionKey(), id, &stored), DiskStoreRet::kOk);
    EXPECT_EQ(stored.curSize, synced);
    EXPECT_GE(QFile(storeDir.path() + "/blobs/" + id).size(), stored.curSize);
    const QList<DiskFileCache::Entry> left = DiskFileCache::shared().fromEarlierLaunches();
    ASSERT_EQ(left.size(), 1);
    EXPECT_EQ(left[0].fileId, id);
    EXPECT_EQ(left[0].uin, 10001);

    const DiskDirPtr dir = nextStart();
    ASSERT_TRUE(dir);
    ASSERT_TRUE(waitUntil([&] {
        return store->fileInfo(login->sessionKey(), id, &stored) == DiskStoreRet::kOk && stored.curSize == stored.size;
    }, 10000));
    EXPECT_TRUE(waitUntil([] { return DiskFileCache::shared().fromEarlierLaunches().isEmpty(); }));
    const QList<DiskFilePtr> files = filesIn(dir);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files[0]->file_name(), "kept.bin");
    EXPECT_EQ(download(files[0]), bytes);
    EXPECT_EQ(blobs(), QStringList{id});
}

// Killed after the store took the last chunk, before the upload's own row
// went: the next start keeps the complete copy whatever became of the
// source (deleted, grown, or rewritten with other bytes of the same size).
TEST_F(DiskProcessTest, AnUploadKilledAfterItsLastChunkKeepsTheCompleteCopyWhateverBecameOfTheSource)
{
    ASSERT_TRUE(signIn());
    struct Case {
        QString name;
        QByteArray bytes;
        QString id;
    };
    QList<Case> cases{{"gone.bin", bytePattern(3 * 64 * 1024 + 5, 6), {}},
                      {"grown.bin", bytePattern(2 * 64 * 1024, 7), {}},
                      {"rewritten.bin", bytePattern(64 * 1024 + 1, 8), {}}};
    // One case at a time: each run of the program takes up what earlier runs left.
    for (Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        c.id = killedUpload(source(c.name, c.bytes), c.name, int((c.bytes.size() + 65535) / 65536));
        ASSERT_FALSE(c.id.isEmpty());
        ASSERT_EQ(DiskFileCache::shared().fromEarlierLaunches().size(), 1);
        if (c.name == "gone.bin")
            ASSERT_TRUE(QFile::remove(home.path(c.name)));
        else if (c.name == "grown.bin")
            ASSERT_TRUE(ImageFixtures::writeFile(home.path(c.name), c.bytes + "more"));
        else
            ASSERT_TRUE(ImageFixtures::writeFile(home.path(c.name), bytePattern(c.bytes.size(), 9)));

        const DiskDirPtr dir = nextStart();
        ASSERT_TRUE(dir);
        ASSERT_TRUE(waitUntil([] { return DiskFileCache::shared().fromEarlierLaunches().isEmpty(); }, 10000));
        spinEvents(200);
        const QList<DiskFilePtr> files = filesIn(dir);
        const auto it =
            std::find_if(files.begin(), files.end(), [&](const DiskFilePtr& f) { return f->file_id() == c.id; });
        ASSERT_NE(it, files.end());
        EXPECT_EQ((*it)->file_cur_size(), c.bytes.size());
        EXPECT_EQ(download(*it), c.bytes);
    }
    EXPECT_EQ(blobs().size(), 3);
}

// A power cut takes what the index's log held and never synced: the cut is
// the store copied without its log. An upload answered as complete stays
// complete (its source deleted by then); one cut between sync points comes
// back identical to its source or not at all, no recorded size past its blob.
TEST_F(DiskProcessTest, APowerCutKeepsACompletedUploadAndNeverRecordsMoreThanTheBlobHolds)
{
    ASSERT_TRUE(signIn());
    const int perSync = int(DiskStoreUpload::kSyncBytes / (64 * 1024));
    struct Case {
        QString name;
        QByteArray bytes;
        int killedAfter;
    };
    const QList<Case> cases{{"complete.bin", bytePattern(3 * 64 * 1024 + 5, 11), 4},
                            {"partial.bin", bytePattern(int(DiskStoreUpload::kSyncBytes) + 8 * 64 * 1024 + 3, 12),
                             perSync + 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        // What came before the upload is in the index file itself.
        QList<QVariantList> rows;
        ASSERT_TRUE(store->db().queryValues(&rows, "PRAGMA wal_checkpoint(TRUNCATE)"));
        const QString id = killedUpload(source(c.name, c.bytes), c.name, c.killedAfter);
        ASSERT_FALSE(id.isEmpty());
        if (c.name == "complete.bin") {
            ASSERT_TRUE(QFile::remove(home.path(c.name)));
        }

        auto cut = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(QFile::copy(storeDir.path() + "/index.db", cut->path() + "/index.db"));
        ASSERT_TRUE(QDir().mkpath(cut->path() + "/blobs"));
        for (const QString& blob : blobs())
            ASSERT_TRUE(QFile::copy(storeDir.path() + "/blobs/" + blob, cut->path() + "/blobs/" + blob));
        store = DiskStore::open(cut->path(), &clock);
        ASSERT_TRUE(store);
        ASSERT_TRUE(store->db().queryValues(&rows, "SELECT file_id, cur_size FROM files"));
        for (const QVariantList& row : rows)
            EXPECT_LE(row[1].toLongLong(), QFile(cut->path() + "/blobs/" + row[0].toString()).size());

        const DiskDirPtr dir = nextStart();
        ASSERT_TRUE(dir);
        ASSERT_TRUE(waitUntil([] { return DiskFileCache::shared().fromEarlierLaunches().isEmpty(); }, 10000));
        spinEvents(200);
        const QList<DiskFilePtr> files = filesIn(dir);
        if (c.name == "complete.bin") {
            ASSERT_EQ(files.size(), 1);
        }
        ASSERT_LE(files.size(), 1);
        for (const DiskFilePtr& f : files) {
            EXPECT_EQ(f->file_cur_size(), c.bytes.size());
            EXPECT_EQ(download(f), c.bytes);
        }
        // The next case starts from a store of its own.
        manager.reset();
        store = DiskStore::open(storeDir.path(), &clock);
        for (const QString& blob : blobs())
            QFile::remove(storeDir.path() + "/blobs/" + blob);
        store->db().executeSql("DELETE FROM files");
        ASSERT_TRUE(nextStart());
    }
}

// A partial upload (part of it recorded) whose source is gone, or now holds
// other bytes of the same size, is removed at the next sign-in.
TEST_F(DiskProcessTest, AKilledUploadWhoseSourceIsGoneOrRewrittenIsRemovedAtTheNextSignIn)
{
    ASSERT_TRUE(signIn());
    const int chunks = int(DiskStoreUpload::kSyncBytes / (64 * 1024)) + 2;
    const QByteArray bytes = bytePattern(int(DiskStoreUpload::kSyncBytes) + 8 * 64 * 1024, 2);
    for (const QString name : {"gone.bin", "rewritten.bin"}) {
        SCOPED_TRACE(name.toStdString());
        const QString id = killedUpload(source(name, bytes), name, chunks);
        ASSERT_FALSE(id.isEmpty());
        ASSERT_EQ(blobs(), QStringList{id});
        if (name == "gone.bin")
            ASSERT_TRUE(QFile::remove(home.path(name)));
        else
            ASSERT_TRUE(ImageFixtures::writeFile(home.path(name), bytePattern(bytes.size(), 3)));

        ASSERT_TRUE(nextStart());
        ASSERT_TRUE(waitUntil([&] {
            return store->fileInfo(login->sessionKey(), id, nullptr) == DiskStoreRet::kNotFound;
        }, 10000));
        // The row goes first and its blob right after it, on the store's worker.
        EXPECT_TRUE(waitUntil([&] { return blobs().isEmpty(); }));
        EXPECT_TRUE(waitUntil([] { return DiskFileCache::shared().fromEarlierLaunches().isEmpty(); }));
        DiskStoreAccount account;
        ASSERT_EQ(store->queryAccount(login->sessionKey(), &account), DiskStoreRet::kOk);
        EXPECT_EQ(account.usedSpace, 0);
    }
}

// A home copied (cp -a) with an upload left unfinished, both copies started
// at once on one store: one takes the upload up, the other leaves it to it
// instead of cutting its bytes off and then deleting it as failed.
TEST_F(DiskProcessTest, TwoCopiesOfAHomeResumingOneUploadLeaveItWhole)
{
    ASSERT_TRUE(signIn());
    const QByteArray bytes = bytePattern(int(DiskStoreUpload::kSyncBytes) * 10 + 5, 13);
    const QString id = killedUpload(source("big.bin", bytes), "big.bin", int(DiskStoreUpload::kSyncBytes / (64 * 1024)) + 4);
    ASSERT_FALSE(id.isEmpty());
    QTemporaryDir copies;
    const QString copy = copies.path() + "/home";
    ASSERT_EQ(QProcess::execute("cp", {"-a", home.root(), copy}), 0);

    // Each copy uploads a file of its own too, long enough for the resumes to meet.
    const QString own = source("own.bin", bytePattern(24 * 1024 * 1024, 14));
    QProcess first;
    QProcess second;
    first.start(kChild, {home.root(), storeDir.path(), own, "own-a"});
    second.start(kChild, {copy, storeDir.path(), own, "own-b"});
    ASSERT_TRUE(first.waitForFinished(60000));
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(first.readAllStandardOutput(), "upload ok own-a\n");
    EXPECT_EQ(second.readAllStandardOutput(), "upload ok own-b\n");

    // Whatever the copies left is finished at this home's next start.
    ASSERT_TRUE(nextStart());
    DiskStoreFile stored;
    ASSERT_TRUE(waitUntil([&] {
        return store->fileInfo(login->sessionKey(), id, &stored) == DiskStoreRet::kOk && stored.curSize == stored.size;
    }, 20000));
    EXPECT_EQ(ImageFixtures::readFile(storeDir.path() + "/blobs/" + id), bytes);
}

TEST_F(DiskProcessTest, AFullFileSystemFailsTheUploadAsNoSpaceAndLeavesNoPartialBlob)
{
    const DiskDirPtr dir = signIn();
    ASSERT_TRUE(dir);
    const QString path = source("big.bin", bytePattern(600 * 1024, 3));
    // Writes past 200 000 bytes fail in the child: the blob cannot grow whole.
    const ChildResult result =
        ChildProcess::run("disk_upload_child", {home.root(), storeDir.path(), path, "big.bin", "--fsize-limit", "200000"}, 60000);
    ASSERT_FALSE(result.hung);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, "upload fail -507 big.bin\n");
    EXPECT_TRUE(blobs().isEmpty());
    EXPECT_TRUE(filesIn(dir).isEmpty());
    QList<QVariantList> rows;
    ASSERT_TRUE(store->db().queryValues(&rows, "SELECT file_id FROM files"));
    EXPECT_TRUE(rows.isEmpty());
    EXPECT_TRUE(DiskFileCache::shared().fromEarlierLaunches().isEmpty());

    // With room again the same upload goes through.
    const ChildResult again = ChildProcess::run("disk_upload_child", {home.root(), storeDir.path(), path, "big.bin"}, 60000);
    EXPECT_EQ(again.output, "upload ok big.bin\n");
    EXPECT_EQ(blobs().size(), 1);
}

TEST_F(DiskProcessTest, TwoProcessesUploadIntoOneStoreAtOnce)
{
    const DiskDirPtr dir = signIn();
    ASSERT_TRUE(dir);
    const QByteArray a = bytePattern(300 * 1024 + 5, 4);
    const QByteArray b = bytePattern(300 * 1024 + 9, 5);
    QProcess first;
    QProcess second;
    first.start(kChild, {home.path("a"), storeDir.path(), source("a.bin", a), "a", "--count", "3"});
    second.start(kChild, {home.path("b"), storeDir.path(), source("b.bin", b), "b", "--count", "3"});
    ASSERT_TRUE(first.waitForFinished(60000));
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(first.readAllStandardOutput(), "upload ok a-0\nupload ok a-1\nupload ok a-2\n");
    EXPECT_EQ(second.readAllStandardOutput(), "upload ok b-0\nupload ok b-1\nupload ok b-2\n");

    const QList<DiskFilePtr> files = filesIn(dir);
    ASSERT_EQ(files.size(), 6);
    for (const DiskFilePtr& f : files) {
        EXPECT_EQ(f->file_cur_size(), f->file_size());
        EXPECT_EQ(download(f), f->file_name().startsWith("a") ? a : b) << f->file_name().toStdString();
    }
    EXPECT_EQ(blobs().size(), 6);
}

}

// Quitting (a closed window, SIGTERM) while uploads run: the application's
// shared facade stops and joins its workers when the event loop ends, so no
// upload goes on into the stores and caches that are torn down after main
// returns; the process exits normally.
TEST_F(DiskProcessTest, QuittingDuringUploadsJoinsTheSharedFacadesWorkersWhenTheLoopEnds)
{
    ASSERT_TRUE(signIn());
    const QString path = source("many.bin", bytePattern(40 * 64 * 1024, 3));
    const ChildResult r = ChildProcess::run(
        "disk_upload_child", {home.root(), storeDir.path(), path, "many", "--count", "6", "--quit-at-first-chunk"},
        60000);
    ASSERT_FALSE(r.hung);
    EXPECT_FALSE(r.signaled) << "died by signal " << r.signal;
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.output.contains("disk threads after quit 0")) << r.output.toStdString();
}
