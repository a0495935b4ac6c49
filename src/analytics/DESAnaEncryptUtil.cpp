#include "analytics/DESAnaEncryptUtil.h"

#include "analytics/AnaEncryptUtil.h"

QByteArray DESAnaEncryptUtil::encrypt(const QByteArray& data, const QString& key) const
{
    return AnaEncryptUtil::enCryptDES(data, key);
}

QByteArray DESAnaEncryptUtil::decrypt(const QByteArray& data, const QString& key) const
{
    return AnaEncryptUtil::deCryptDES(data, key);
}
