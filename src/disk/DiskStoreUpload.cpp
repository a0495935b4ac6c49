#include "disk/DiskStoreUpload.h"

#include "disk/DiskBlob.h"
#include "disk/DiskStore.h"

#include <QByteArray>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

DiskStoreUpload::DiskStoreUpload(DiskStore& store, DiskStoreFile file, int fd)
    : m_store(store), m_file(std::move(file)), m_fd(fd)
{
}

DiskStoreUpload::~DiskStoreUpload()
{
    ::close(m_fd);
}

int DiskStoreUpload::start(const std::function<bool(qint64 read)>& goOn)
{
    struct stat info {};
    if (::fstat(m_fd, &info) != 0)
        return DiskStoreRet::kIoError;
    const qint64 onDisk = info.st_size;
    if (onDisk < m_file.curSize) {
        // Bytes recorded but not on disk (lost with a power failure) are not
        // there: the recorded size goes back to what the blob really holds.
        if (const int ret = m_store.recordSize(m_file.fileId, m_file.curSize, onDisk, QString()); ret != DiskStoreRet::kOk)
            return ret;
        m_file.curSize = onDisk;
        m_short = true;
    } else if (onDisk > m_file.curSize && ::ftruncate(m_fd, m_file.curSize) != 0) {
        // What lies past the recorded size was never known to be on disk.
        return DiskStoreRet::kIoError;
    }
    m_size = m_recorded = m_started = m_file.curSize;
    QByteArray piece(int(std::min<qint64>(kSyncBytes, std::max<qint64>(m_size, 1))), Qt::Uninitialized);
    for (qint64 at = 0; at < m_size;) {
        const ssize_t n = ::pread(m_fd, piece.data(), size_t(std::min<qint64>(piece.size(), m_size - at)), off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return DiskStoreRet::kIoError;
        m_digest.update(piece.constData(), n);
        at += n;
        if (goOn && !goOn(at))
            return DiskStoreRet::kStopped;
    }
    return DiskStoreRet::kOk;
}

int DiskStoreUpload::append(const QByteArray& bytes)
{
    if (m_size + bytes.size() > m_file.size)
        return DiskStoreRet::kBadRequest;
    if (const int injected = m_store.m_blobWriteError)
        return DiskBlob::failureOf(injected);
    if (const int ret = DiskBlob::writeAt(m_fd, m_size, bytes); ret != DiskStoreRet::kOk)
        return ret;
    m_digest.update(bytes);
    m_size += bytes.size();
    if (m_size - m_started >= kWritebackBytes) {
        // The disk starts on these bytes while the next ones are hashed: the
        // sync that records them has less to wait for.
        (void)::sync_file_range(m_fd, m_started, m_size - m_started, SYNC_FILE_RANGE_WRITE);
        m_started = m_size;
    }
    return m_size == m_file.size || m_size - m_recorded >= kSyncBytes ? flush() : DiskStoreRet::kOk;
}

int DiskStoreUpload::flush()
{
    if (m_size == m_recorded)
        return DiskStoreRet::kOk;
    if (const int ret = DiskBlob::sync(m_fd); ret != DiskStoreRet::kOk)
        return ret;
    QString sha1;
    if (m_size == m_file.size) {
        // The last bytes: the whole file must be the bytes it was announced as.
        sha1 = m_digest.hex();
        if (!m_file.sha1.isEmpty() && sha1 != m_file.sha1.toLower())
            return DiskStoreRet::kBadDigest;
    }
    if (const int ret = m_store.recordSize(m_file.fileId, m_recorded, m_size, sha1); ret != DiskStoreRet::kOk)
        return ret;
    m_recorded = m_file.curSize = m_size;
    if (!sha1.isEmpty())
        m_file.sha1 = sha1;
    return DiskStoreRet::kOk;
}
