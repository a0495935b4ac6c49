#pragma once

#include "analytics/AnaEncrypt.h"

// The pass-through cipher: both directions give the data back unchanged.
class SAXAnaEncryptUtil final : public AnaEncrypt {
public:
    QByteArray encrypt(const QByteArray& data, const QString&) const override { return data; }
    QByteArray decrypt(const QByteArray& data, const QString&) const override { return data; }
};
