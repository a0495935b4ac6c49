#pragma once

#include "platform/core/RegularFile.h"

#include <QByteArray>
#include <QString>

// The file cipher front end: whole files enciphered with the padded XXTEA
// under one fixed key string.
class PavEncryptManager {
public:
    // Enciphers data and writes it atomically to path, replacing any file
    // there. False for null, empty or too long data, an empty path or a
    // failed write; then nothing is written.
    static bool writeData(const QByteArray& data, const QString& path);

    // Reads and deciphers a whole file; a null QByteArray for an empty path, a
    // missing or empty file, or bytes that do not decipher. *readable (when
    // given) tells whether the file's bytes could be read and deciphering them
    // tried: a symbolic link, a FIFO or device, a file larger than cap (the
    // cap of its kind: an item's by default, a thumbnail's for a thumbnail)
    // or one memory cannot be had for is not judged. The file is read in
    // pieces into one buffer and deciphered there, so an item costs its own
    // size in memory once.
    static QByteArray readDataFromPath(const QString& path, bool* readable = nullptr, qint64 cap = maxFileSize());

    // The largest item kept: a read deciphers it whole in memory.
    static constexpr qint64 kMaxPlainSize = RegularFile::Cap::kPrivateItem - 8;
    // The largest file writeData makes.
    static qint64 maxFileSize();

    // The in-memory forms of the same cipher; encryptData gives nothing for
    // more than kMaxPlainSize bytes or when memory for the result cannot be
    // had, decryptData refuses fewer than 8 bytes (two words) and a length
    // trailer that does not fit. *tried (when given) is false when it failed
    // without looking at the bytes (no memory for the result): they may well
    // decipher.
    static QByteArray encryptData(const QByteArray& plain);
    static bool decryptData(const QByteArray& cipher, QByteArray* plain, bool* tried = nullptr);
    // The length of the file writeData makes of plainSize bytes.
    static qint64 encryptedSize(qint64 plainSize);
};
