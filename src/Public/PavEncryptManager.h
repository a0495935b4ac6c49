#pragma once

#include <QByteArray>
#include <QString>

// The file cipher front end: whole files enciphered with the padded XXTEA
// under one fixed key string.
class PavEncryptManager {
public:
    // Enciphers data and writes it atomically to path, replacing any file
    // there. False for null or empty data, an empty path or a failed write;
    // then nothing is written.
    static bool writeData(const QByteArray& data, const QString& path);

    // Reads and deciphers a whole file; a null QByteArray for an empty path, a
    // missing or empty file, or bytes that do not decipher.
    static QByteArray readDataFromPath(const QString& path);

    // The in-memory forms of the same cipher; decryptData refuses fewer than
    // 8 bytes (two words) and a length trailer that does not fit.
    static QByteArray encryptData(const QByteArray& plain);
    static bool decryptData(const QByteArray& cipher, QByteArray* plain);
    // The length of the file writeData makes of plainSize bytes.
    static qint64 encryptedSize(qint64 plainSize);
};
