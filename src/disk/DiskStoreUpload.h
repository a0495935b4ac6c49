#pragma once

#include "disk/DiskDigest.h"
#include "disk/DiskStoreTypes.h"

#include <QByteArray>

#include <functional>

class DiskStore;

// One upload's way into the disk store: the file's row is read and its blob
// opened once, and bytes are appended in the order they come. The blob is
// synced and its size recorded each time kSyncBytes have gathered (never
// more often than once per megabyte), at the end and on flush(): the recorded size may lag behind the blob, never run
// ahead of it. A running SHA-1 over the blob (the bytes it held at the
// start are read once, then everything appended) is checked at the end
// against the file's announced SHA-1; a file announced without one records
// the SHA-1 of what arrived. Made by DiskStore::openUpload, it holds the
// blob's lock until destroyed; one thread at a time. Unsynced bytes left at
// destruction stay unrecorded.
class DiskStoreUpload {
public:
    // How many bytes gather before they are synced and recorded; the disk is
    // asked to start writing them out every kWritebackBytes.
    static constexpr qint64 kSyncBytes = 4 * 1024 * 1024;
    static constexpr qint64 kWritebackBytes = 1024 * 1024;

    ~DiskStoreUpload();
    DiskStoreUpload(const DiskStoreUpload&) = delete;
    DiskStoreUpload& operator=(const DiskStoreUpload&) = delete;

    // The row as this upload knows it (the SHA-1 set once complete).
    const DiskStoreFile& file() const { return m_file; }
    // Bytes the blob holds for this upload, the unrecorded ones included.
    qint64 size() const { return m_size; }
    // Whether the blob held less than its recorded size when opened (the
    // recorded size was set back to what it holds).
    bool wasShort() const { return m_short; }
    // SHA-1 (hexadecimal) of the size() bytes held.
    QString heldSha1() const { return m_digest.hex(); }

    // Appends at size(). kOk, kBadRequest (past the file's size), kNoSpace,
    // kIoError, kBadDigest (the last bytes complete a file that is not what
    // it was announced as), kNotFound (the file was deleted meanwhile).
    int append(const QByteArray& bytes);
    // Syncs and records what is held; the same codes.
    int flush();

private:
    friend class DiskStore;
    DiskStoreUpload(DiskStore& store, DiskStoreFile file, int fd);
    // Brings blob and row together and reads the held bytes into the digest
    // (kStopped where goOn, asked after each piece, says no).
    int start(const std::function<bool(qint64 read)>& goOn);

    DiskStore& m_store;
    DiskStoreFile m_file;
    int m_fd;
    qint64 m_size = 0;
    qint64 m_recorded = 0;
    qint64 m_started = 0;   // bytes the disk was asked to write out
    bool m_short = false;
    DiskDigest m_digest;
};
