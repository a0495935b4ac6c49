#pragma once

#include "disk/DiskStoreTypes.h"

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QVariantList>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

class Clock;
class DiskAccounts;
class DiskStoreUpload;
class QFile;
class SqliteDBManager;

// The local stand-in for the disk service: a folder of blobs ("blobs/<file
// id>") and a SQLite index ("index.db") of accounts, sign-in keys, folders
// and files. Every command takes the sign-in key of an account and answers
// a DiskStoreRet code; an unknown key answers kNeedLogin. A full disk
// answers kNoSpace, also when it is the index's own write that finds no
// room. Safe to use from several threads and processes at once. An upload
// that failed and was cleaned up leaves neither row nor blob; where the disk
// was too full even for the row's removal, the blob goes and the row (a
// partial file without a blob) is removed at the next open.
class DiskStore {
public:
    static constexpr qint64 kDefaultTotalSpace = 10LL * 1024 * 1024 * 1024;
    // No file the store holds is larger (a stored size past it is a damaged row).
    static constexpr qint64 kMaxFileSize = 1LL << 50;
    // How long a sign-in key is good for.
    static constexpr qint64 kSessionLifetimeMs = 30LL * 24 * 3600 * 1000;

    // Opens (or creates) the store in `root`; null when it cannot.
    static std::shared_ptr<DiskStore> open(const QString& root, const Clock* clock = nullptr,
                                           qint64 totalSpace = kDefaultTotalSpace);
    ~DiskStore();
    DiskStore(const DiskStore&) = delete;
    DiskStore& operator=(const DiskStore&) = delete;

    // The process-wide store, opened on first use at defaultRoot(); null when
    // it cannot be opened (every command then fails as a transport failure).
    static std::shared_ptr<DiskStore> shared();
    // "CloudDisk" in the application home unless set (the --disk-root flag).
    static QString defaultRoot();
    static void setDefaultRoot(const QString& root);

    const QString& root() const { return m_root; }
    DiskAccounts& accounts() { return *m_accounts; }
    SqliteDBManager& db() { return *m_db; }
    const Clock& clock() const { return *m_clock; }

    // The account's space: the total is the account's quota, or less when
    // the disk under the store has less room left. A file row whose stored
    // size is not one the store writes (below 0, past kMaxFileSize, not a
    // number) is left out of the used space and logged once; the sum is
    // held at the largest 64-bit size rather than overflow.
    int queryAccount(const QString& skey, DiskStoreAccount* out);
    int listDir(const QString& skey, const QString& dirKey, QList<DiskStoreDir>* dirs, QList<DiskStoreFile>* files);
    int makeDir(const QString& skey, const QString& fatherKey, const QString& name, DiskStoreDir* out);
    // A new file of `size` bytes in the folder, nothing of it stored yet.
    int registerFile(const QString& skey, const QString& dirKey, const QString& name, qint64 size,
                     const QString& sha1, const QString& md5, DiskStoreFile* out);
    int fileInfo(const QString& skey, const QString& fileId, DiskStoreFile* out);
    // Opens the upload of a registered file (see DiskStoreUpload), going on
    // from the recorded size; kBusy while another upload of it is open (in
    // this process or another one). The bytes the blob holds are read back
    // into the upload's digest: goOn, when given, is asked after each piece
    // (with the bytes read so far) and ends that with kStopped when false.
    int openUpload(const QString& skey, const QString& fileId, std::unique_ptr<DiskStoreUpload>* out,
                   const std::function<bool(qint64 read)>& goOn = {});
    // One chunk through openUpload, synced and recorded at once: `offset`
    // must equal the stored size. A blob shorter than its recorded size
    // answers kShortBlob with newSize set to what it holds (now the
    // recorded size).
    int appendChunk(const QString& skey, const QString& fileId, qint64 offset, const QByteArray& bytes,
                    qint64* newSize);
    // The file's row and its blob opened for reading (up to the recorded size).
    int openBlob(const QString& skey, const QString& fileId, DiskStoreFile* row, std::unique_ptr<QFile>* blob);
    int readChunk(const QString& skey, const QString& fileId, qint64 offset, qint64 maxLength, QByteArray* out);
    int deleteFile(const QString& skey, const QString& fileId);
    // Deletes a file whose upload did not finish; a complete file stays
    // (*complete set) and answers kOk.
    int deleteUnfinished(const QString& skey, const QString& fileId, bool* complete);
    // JPEG bytes of a side x side centre crop of an image file.
    int thumbnail(const QString& skey, const QString& fileId, int side, QByteArray* out);

    // Fault injection: from now on every blob write fails with this errno
    // (ENOSPC: the disk is full); 0 lets them through again.
    void failBlobWritesWith(int error) { m_blobWriteError = error; }

    // The blobs that no file row names (left by a lost index; never deleted).
    int unnamedBlobCount();
    // Creates an account's top folder and the one folder below it.
    bool createFolders(qint64 uin, const QString& rootKey);
    qint64 nowMs() const;

    static constexpr const char* kDiskFolderName = "Ky网盘";

private:
    friend class DiskStoreUpload;
    DiskStore(QString root, std::unique_ptr<SqliteDBManager> db, const Clock* clock, qint64 totalSpace);
    static bool createSchema(SqliteDBManager& db);
    // The account of a sign-in key that has not lapsed, or 0.
    qint64 uinOfKey(const QString& skey);
    // The first row, handed to take; false when there is none.
    bool selectOne(const QString& sql, const QVariantList& binds, const std::function<void(const QVariantList&)>& take);
    bool dirOf(qint64 uin, const QString& dirKey, DiskStoreDir* out);
    bool fileOf(qint64 uin, const QString& fileId, DiskStoreFile* out);
    // Whether a row's file id is one the store gives (logged when not): only
    // such an id is made into a path, acted on or listed.
    static bool isIssuedId(const QString& fileId);
    QString blobPath(const QString& fileId) const;
    // Records a stored size (and SHA-1, when given: the file is complete, and
    // that record is made durable) if the row still holds `from`; kNotFound
    // when it does not.
    int recordSize(const QString& fileId, qint64 from, qint64 to, const QString& sha1);
    // Makes the index's commits so far survive a power cut; false when the
    // disk would not sync them.
    bool keepCommitted();
    // The code of the index's latest failure: kNoSpace when the disk is full.
    int indexFailure() const;
    // Makes again, after a damaged index was salvaged, the top folder of
    // each account whose folder row was lost (under its own key, so what
    // is still named below it is listed again).
    void remakeLostTopFolders();
    // Removes partial files whose blob is gone (cleanups the disk had no room for).
    void sweepOrphanRows();
    qint64 freeDiskSpace() const;
    // The sum of the account's stored sizes, those the store writes only.
    bool usedSpaceOf(qint64 uin, qint64* used);
    void logOutOfRangeSize(const QString& fileId, const QString& size);
    static qint64 addClamped(qint64 a, qint64 b);

    QString m_root;
    std::unique_ptr<SqliteDBManager> m_db;
    const Clock* m_clock;
    qint64 m_totalSpace;
    std::unique_ptr<DiskAccounts> m_accounts;
    std::mutex m_writeMutex;   // compound writes (blob and index together)
    std::atomic<int> m_blobWriteError{0};
    std::mutex m_loggedSizesMutex;
    QSet<QString> m_loggedSizes;   // file rows whose damaged size was logged
};
