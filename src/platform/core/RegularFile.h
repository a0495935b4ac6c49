#pragma once

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <sys/types.h>

// Opens and reads files of the program's own folders as outside input: a
// symbolic link in the last place is not followed, a FIFO or a device is
// never waited on, and only a regular file is taken.
namespace RegularFile {

// Opens path with O_RDONLY, or O_RDWR (O_CREAT, O_TRUNC may be added, with
// mode); -1 with errno set when it cannot, ELOOP for a symbolic link and
// EINVAL for anything that is not a regular file.
int open(const QString& path, int flags = O_RDONLY, mode_t mode = 0);

// Reads the whole regular file at path. False, with out untouched, when it
// cannot be opened, holds more than cap bytes, is read short, or memory for
// it cannot be had; never throws.
bool read(const QString& path, qint64 cap, QByteArray* out);

}
