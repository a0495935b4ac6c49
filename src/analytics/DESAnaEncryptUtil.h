#pragma once

#include "analytics/AnaEncrypt.h"

// DES-CBC with PKCS#7 padding (AnaEncryptUtil::enCryptDES / deCryptDES).
class DESAnaEncryptUtil final : public AnaEncrypt {
public:
    QByteArray encrypt(const QByteArray& data, const QString& key) const override;
    QByteArray decrypt(const QByteArray& data, const QString& key) const override;
};
