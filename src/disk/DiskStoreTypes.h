#pragma once

#include <QString>
#include <QtGlobal>

// Replies of the local disk store, shaped like the disk service's: a result
// code (0 success) and the records a command returns.
namespace DiskStoreRet {
inline constexpr int kOk = 0;
inline constexpr int kNeedLogin = -401;     // the sign-in key is unknown or lapsed
inline constexpr int kNotFound = -404;      // no such folder or file (of this account)
inline constexpr int kBadRequest = -400;    // offsets, names or sizes that do not fit
inline constexpr int kNoSpace = -507;       // the account's space, or the disk, is full
inline constexpr int kShortBlob = -416;     // the stored bytes fall short of the recorded size (reset to them)
inline constexpr int kBadDigest = -422;     // the bytes do not match the file's SHA-1
inline constexpr int kBusy = -409;          // another upload (of this or another process) is writing the file
inline constexpr int kNotImage = -415;      // no thumbnail can be made of the file
inline constexpr int kIoError = -500;       // the store could not read or write
inline constexpr int kStopped = -499;       // the caller stopped the request
}

struct DiskStoreDir {
    QString key;
    QString fatherKey;   // empty for an account's top folder
    QString name;
    qint64 ctime = 0;    // ms since the epoch
};

struct DiskStoreFile {
    QString fileId;
    QString dirKey;
    QString name;
    qint64 size = 0;
    qint64 curSize = 0;
    QString sha1;
    QString md5;
    qint64 ctime = 0;
    qint64 uin = 0;      // the owning account
};

struct DiskStoreAccount {
    qint64 uin = 0;
    QString rootKey;
    qint64 usedSpace = 0;
    qint64 totalSpace = 0;
};
