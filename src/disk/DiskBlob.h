#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

// The byte file of one stored disk file ("blobs/<file id>"). Writes go
// straight to the file descriptor so that a full disk is told apart from
// other failures; the caller syncs (sync) before it records a new size.
namespace DiskBlob {

// Creates (or empties) the file, a fresh one in place of a link, a pipe or
// a hard-linked file at the name; false when it cannot.
bool create(const QString& path);
// Opens the file for reading (`mode` adds e.g. Unbuffered); null when it
// cannot. Like every open of a blob, a symbolic link, a FIFO or a device in
// its place is refused, never followed or waited on.
std::unique_ptr<QFile> openForReading(const QString& path, QIODevice::OpenMode mode = {});
// Opens the file for reading and writing, creating it when missing; -1
// when it cannot (errno set).
int openForWriting(const QString& path);
// Writes `bytes` at `offset` of an open file. A DiskStoreRet code: kOk,
// kNoSpace (the file system or the process's file size limit is full) or
// kIoError; after a failure the file is cut back to `offset`.
int writeAt(int fd, qint64 offset, const QByteArray& bytes);
// Brings what was written to the disk; kOk, kNoSpace or kIoError.
int sync(int fd);
// The DiskStoreRet code of a failed file call's errno.
int failureOf(int error);

}
