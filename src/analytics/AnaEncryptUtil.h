#pragma once

// PLACEHOLDER until the SDK utilities land.
#include <QByteArray>
#include <QString>

class AnaEncrypt {
public:
    virtual ~AnaEncrypt() = default;
    virtual QByteArray encrypt(const QByteArray& data, const QString& key) const = 0;
    virtual QByteArray decrypt(const QByteArray& data, const QString& key) const = 0;
};

class AnaEncryptUtil {
public:
    static const AnaEncrypt* getEncrypt(int code);
    static QByteArray enCryptDES(const QByteArray& data, const QString& key);
    static QByteArray deCryptDES(const QByteArray& data, const QString& key);
};
