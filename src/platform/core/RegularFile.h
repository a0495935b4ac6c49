#pragma once

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <sys/types.h>

// The one reader of the program's own files (the home, the disk root, the
// caches), which are outside input like any other: a symbolic link in the
// last place is not followed, a FIFO or a device is never opened for good or
// waited on, only a regular file is taken, and a whole-file read is refused,
// unread, past the cap its kind of file has. Safe on any thread.
namespace RegularFile {

// The cap of each kind of file, in bytes.
namespace Cap {
inline constexpr qint64 kPreferences = 4LL << 20;   // Library/Preferences/defaults.json
inline constexpr qint64 kAccount = 64LL << 10;      // the saved disk account (KyDisk.user)
inline constexpr qint64 kCrashLogs = 1LL << 20;     // the crash attach logs
inline constexpr qint64 kCacheIndex = 32LL << 20;   // the library's metadata cache
inline constexpr qint64 kThumbnail = 8LL << 20;     // a thumbnail, cached or enciphered
inline constexpr qint64 kPicture = 512LL << 20;     // a downloaded cloud photo
inline constexpr qint64 kPrivateItem = 1LL << 30;   // an enciphered private item
}

// Opens path with O_RDONLY, or O_RDWR (O_CREAT, O_TRUNC, O_EXCL may be added,
// with mode); -1 with errno set when it cannot, ELOOP for a symbolic link and
// EINVAL for anything that is not a regular file.
int open(const QString& path, int flags = O_RDONLY, mode_t mode = 0);
// The same for a name given as the file system's bytes, with no rule of its
// own for links: open() adds O_NOFOLLOW; readers of the user's folders,
// where links are the user's, do not.
int openNative(const QByteArray& name, int flags = O_RDONLY, mode_t mode = 0);

// Reads the whole regular file at path, in pieces, into one buffer of its
// size. False, with out untouched (and *error set when given), when it
// cannot be opened, holds more than cap bytes (EFBIG, checked before a byte
// is read), is read short, or memory for it cannot be had; never throws.
bool read(const QString& path, qint64 cap, QByteArray* out, QString* error = nullptr);

}
