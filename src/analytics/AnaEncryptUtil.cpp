#include "analytics/AnaEncryptUtil.h"

#include "analytics/DESAnaEncryptUtil.h"

#include <QtDebug>
#include <nettle/cbc.h>
#include <nettle/des.h>
#include <nettle/md5.h>

namespace {

bool prepareKey(const QString& key, des_ctx& ctx, uint8_t iv[DES_BLOCK_SIZE])
{
    QByteArray bytes = key.toUtf8();
    if (bytes.size() < DES_KEY_SIZE)
        return false;
    const auto* raw = reinterpret_cast<const uint8_t*>(bytes.constData());
    for (int i = 0; i < DES_BLOCK_SIZE; ++i)
        iv[i] = raw[i];
    return des_set_key(&ctx, raw) == 1;   // parity is not checked; weak keys fail
}

}

AnaEncrypt* AnaEncryptUtil::getEncrypt(int code)
{
    static DESAnaEncryptUtil des;
    return code == kDES ? &des : nullptr;
}

QByteArray AnaEncryptUtil::enCryptDES(const QByteArray& data, const QString& key)
{
    des_ctx ctx;
    uint8_t iv[DES_BLOCK_SIZE];
    if (!prepareKey(key, ctx, iv)) {
        qWarning("error encrypt");
        return QByteArray();
    }
    int pad = DES_BLOCK_SIZE - int(data.size() % DES_BLOCK_SIZE);
    QByteArray plain = data + QByteArray(pad, char(pad));
    QByteArray out(plain.size(), '\0');
    cbc_encrypt(&ctx, reinterpret_cast<nettle_cipher_func*>(des_encrypt), DES_BLOCK_SIZE, iv, size_t(plain.size()),
                reinterpret_cast<uint8_t*>(out.data()), reinterpret_cast<const uint8_t*>(plain.constData()));
    return out;
}

QByteArray AnaEncryptUtil::deCryptDES(const QByteArray& data, const QString& key)
{
    des_ctx ctx;
    uint8_t iv[DES_BLOCK_SIZE];
    if (!prepareKey(key, ctx, iv) || data.isEmpty() || data.size() % DES_BLOCK_SIZE != 0) {
        qWarning("error decrpt");
        return QByteArray();
    }
    QByteArray out(data.size(), '\0');
    cbc_decrypt(&ctx, reinterpret_cast<nettle_cipher_func*>(des_decrypt), DES_BLOCK_SIZE, iv, size_t(data.size()),
                reinterpret_cast<uint8_t*>(out.data()), reinterpret_cast<const uint8_t*>(data.constData()));
    int pad = uint8_t(out.back());
    bool good = pad >= 1 && pad <= DES_BLOCK_SIZE;
    for (int i = 1; good && i <= pad; ++i)
        good = uint8_t(out.at(out.size() - i)) == pad;
    if (!good) {
        qWarning("error decrpt");
        return QByteArray();
    }
    out.chop(pad);
    if (out.isNull())
        out = QByteArray("");
    return out;
}

QString AnaEncryptUtil::MD5(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    md5_ctx ctx;
    md5_init(&ctx);
    md5_update(&ctx, size_t(bytes.size()), reinterpret_cast<const uint8_t*>(bytes.constData()));
    uint8_t digest[MD5_DIGEST_SIZE];
    md5_digest(&ctx, MD5_DIGEST_SIZE, digest);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), MD5_DIGEST_SIZE).toHex().toUpper());
}
