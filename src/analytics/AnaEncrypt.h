#pragma once

#include <QByteArray>
#include <QString>

// A cipher of the SDK. A null QByteArray is "no result".
class AnaEncrypt {
public:
    virtual ~AnaEncrypt() = default;
    virtual QByteArray encrypt(const QByteArray& data, const QString& key) const = 0;
    virtual QByteArray decrypt(const QByteArray& data, const QString& key) const = 0;
};
