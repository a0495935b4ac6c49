#include "Public/PavEncryptManager.h"

#include "codec/Xxtea.h"
#include "platform/core/AtomicFile.h"

namespace {
// The file cipher's fixed 7-character key string.
constexpr std::string_view kFileKey = "pdOlv07";

const CodecXxteaKey& fileKey()
{
    static const CodecXxteaKey key = codec_xxtea_key(kFileKey);
    return key;
}
}

QByteArray PavEncryptManager::encryptData(const QByteArray& plain)
{
    QByteArray out(qsizetype(codec_xxtea_padded_size(size_t(plain.size()))), Qt::Uninitialized);
    codec_xxtea_encrypt_padded(reinterpret_cast<const uint8_t*>(plain.constData()), size_t(plain.size()),
                               reinterpret_cast<uint8_t*>(out.data()), fileKey());
    return out;
}

qint64 PavEncryptManager::encryptedSize(qint64 plainSize)
{
    return plainSize > 0 ? qint64(codec_xxtea_padded_size(size_t(plainSize))) : 0;
}

bool PavEncryptManager::decryptData(const QByteArray& cipher, QByteArray* plain)
{
    // XXTEA needs two words: a shorter "cipher" was never enciphered.
    if (cipher.size() < 8)
        return false;
    QByteArray out(cipher.size(), Qt::Uninitialized);
    const long n = codec_xxtea_decrypt_padded(reinterpret_cast<const uint8_t*>(cipher.constData()),
                                              size_t(cipher.size()), reinterpret_cast<uint8_t*>(out.data()),
                                              fileKey());
    if (n < 0)
        return false;
    out.truncate(qsizetype(n));
    *plain = std::move(out);
    return true;
}

bool PavEncryptManager::writeData(const QByteArray& data, const QString& path)
{
    // Empty data would pad to a single word, which XXTEA leaves in clear.
    if (data.isEmpty() || path.isEmpty())
        return false;
    return AtomicFile::write(path, encryptData(data));
}

QByteArray PavEncryptManager::readDataFromPath(const QString& path)
{
    if (path.isEmpty())
        return QByteArray();
    QByteArray cipher;
    if (!AtomicFile::read(path, &cipher) || cipher.isEmpty())
        return QByteArray();
    QByteArray plain;
    if (!decryptData(cipher, &plain))
        return QByteArray();
    return plain;
}
