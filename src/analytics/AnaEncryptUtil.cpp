#include "analytics/AnaEncryptUtil.h"

// PLACEHOLDER until the SDK utilities land.
#include <nettle/cbc.h>
#include <nettle/des.h>

#include <cstring>

namespace {

class Des final : public AnaEncrypt {
public:
    QByteArray encrypt(const QByteArray& d, const QString& k) const override { return AnaEncryptUtil::enCryptDES(d, k); }
    QByteArray decrypt(const QByteArray& d, const QString& k) const override { return AnaEncryptUtil::deCryptDES(d, k); }
};

bool setup(const QString& key, des_ctx& ctx, uint8_t iv[8])
{
    const QByteArray k = key.toUtf8();
    if (k.size() < 8)
        return false;
    std::memcpy(iv, k.constData(), 8);
    des_set_key(&ctx, reinterpret_cast<const uint8_t*>(k.constData()));
    return true;
}

}

const AnaEncrypt* AnaEncryptUtil::getEncrypt(int code)
{
    static Des des;
    return code == 1 ? &des : nullptr;
}

QByteArray AnaEncryptUtil::enCryptDES(const QByteArray& data, const QString& key)
{
    des_ctx ctx;
    uint8_t iv[8];
    if (!setup(key, ctx, iv))
        return {};
    const int pad = 8 - int(data.size() % 8);
    QByteArray in = data + QByteArray(pad, char(pad));
    QByteArray out(in.size(), '\0');
    cbc_encrypt(&ctx, (nettle_cipher_func*)des_encrypt, 8, iv, size_t(in.size()),
                reinterpret_cast<uint8_t*>(out.data()), reinterpret_cast<const uint8_t*>(in.constData()));
    return out;
}

QByteArray AnaEncryptUtil::deCryptDES(const QByteArray& data, const QString& key)
{
    des_ctx ctx;
    uint8_t iv[8];
    if (data.isEmpty() || data.size() % 8 != 0 || !setup(key, ctx, iv))
        return {};
    QByteArray out(data.size(), '\0');
    cbc_decrypt(&ctx, (nettle_cipher_func*)des_decrypt, 8, iv, size_t(data.size()),
                reinterpret_cast<uint8_t*>(out.data()), reinterpret_cast<const uint8_t*>(data.constData()));
    const int pad = uint8_t(out.back());
    if (pad < 1 || pad > 8)
        return {};
    for (int i = 0; i < pad; ++i)
        if (uint8_t(out[out.size() - 1 - i]) != pad)
            return {};
    out.chop(pad);
    if (out.isNull())
        out = QByteArray("", 0);
    return out;
}
