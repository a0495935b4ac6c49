#include "Public/PavEncryptManager.h"

#include "codec/Xxtea.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"

#include <algorithm>
#include <new>

namespace {
// The file cipher's fixed 7-character key string.
constexpr std::string_view kFileKey = "pdOlv07";

const CodecXxteaKey& fileKey()
{
    static const CodecXxteaKey key = codec_xxtea_key(kFileKey);
    return key;
}
}

qint64 PavEncryptManager::maxFileSize()
{
    return encryptedSize(kMaxPlainSize);
}

QByteArray PavEncryptManager::encryptData(const QByteArray& plain)
{
    if (plain.size() > kMaxPlainSize)
        return QByteArray();
    QByteArray out;
    try {
        out = QByteArray(qsizetype(codec_xxtea_padded_size(size_t(plain.size()))), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        return QByteArray();
    }
    codec_xxtea_encrypt_padded(reinterpret_cast<const uint8_t*>(plain.constData()), size_t(plain.size()),
                               reinterpret_cast<uint8_t*>(out.data()), fileKey());
    return out;
}

qint64 PavEncryptManager::encryptedSize(qint64 plainSize)
{
    return plainSize > 0 ? qint64(codec_xxtea_padded_size(size_t(plainSize))) : 0;
}

bool PavEncryptManager::decryptData(const QByteArray& cipher, QByteArray* plain, bool* tried)
{
    if (tried)
        *tried = true;
    // XXTEA needs two words: a shorter "cipher" was never enciphered.
    if (cipher.size() < 8)
        return false;
    QByteArray out;
    try {
        out = QByteArray(cipher.size(), Qt::Uninitialized);
    } catch (const std::bad_alloc&) {
        if (tried)
            *tried = false;
        return false;
    }
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
    if (data.isEmpty() || data.size() > kMaxPlainSize || path.isEmpty())
        return false;
    const QByteArray cipher = encryptData(data);
    return !cipher.isEmpty() && AtomicFile::write(path, cipher);
}

QByteArray PavEncryptManager::readDataFromPath(const QString& path, bool* readable, qint64 cap)
{
    QByteArray bytes;
    const bool read = RegularFile::read(path, std::min(cap, maxFileSize()), &bytes);
    if (readable)
        *readable = read;
    if (!read || bytes.size() < 8)
        return QByteArray();
    // Deciphered where it was read: no second buffer of its size.
    const long n = codec_xxtea_decrypt_padded(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                              size_t(bytes.size()), reinterpret_cast<uint8_t*>(bytes.data()),
                                              fileKey());
    if (n < 0)
        return QByteArray();
    bytes.truncate(qsizetype(n));
    return bytes;
}
