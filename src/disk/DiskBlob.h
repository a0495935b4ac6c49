#pragma once

#include <QByteArray>
#include <QString>

// The byte file of one stored disk file ("blobs/<file id>"). Writes go
// straight to the file descriptor so that a full disk is told apart from
// other failures, and each write reaches the disk (fdatasync) before the caller
// records the new size.
namespace DiskBlob {

// Creates (or empties) the file; false when it cannot.
bool create(const QString& path);
// The file's size on disk; 0 when it is missing.
qint64 sizeOf(const QString& path);
// Cuts the file to `offset`, writes `bytes` there and syncs it. A DiskStoreRet
// code: kOk, kNoSpace (the file system or the process's file size limit is
// full) or kIoError; after a failure the file is cut back to `offset`.
int writeAt(const QString& path, qint64 offset, const QByteArray& bytes);
// The SHA-1 of the whole file as lower-case hexadecimal text; false when it
// cannot be read.
bool sha1Hex(const QString& path, QString* out);

}
