#pragma once

#include "analytics/AnaEncrypt.h"

#include <QByteArray>
#include <QString>

// The SDK's ciphers and digest. Cipher code 1 is DES; no other code has one.
class AnaEncryptUtil {
public:
    static constexpr int kDES = 1;

    // The shared cipher for a code; nullptr for any other code.
    static AnaEncrypt* getEncrypt(int code);

    // DES-CBC, PKCS#7 padding; the first 8 UTF-8 bytes of the key are both
    // the key and the IV (parity bits ignored). A key shorter than 8 bytes,
    // or (deciphering) a length that is not a whole number of blocks or a
    // bad padding, gives a null result.
    static QByteArray enCryptDES(const QByteArray& data, const QString& key);
    static QByteArray deCryptDES(const QByteArray& data, const QString& key);

    // 32 upper-case hexadecimal digits of the MD5 of the UTF-8 text.
    static QString MD5(const QString& text);
};
