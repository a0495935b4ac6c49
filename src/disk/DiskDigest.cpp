#include "disk/DiskDigest.h"

DiskDigest::DiskDigest(Kind kind) : m_kind(kind)
{
    sha1_init(&m_sha1);
    md5_init(&m_md5);
}

DiskDigest DiskDigest::forFile(const QString& sha1, const QString& md5)
{
    return DiskDigest(sha1.isEmpty() && !md5.isEmpty() ? Kind::Md5 : Kind::Sha1);
}

void DiskDigest::update(const char* data, qint64 size)
{
    if (size <= 0)
        return;
    const auto* bytes = reinterpret_cast<const uint8_t*>(data);
    if (m_kind == Kind::Sha1)
        sha1_update(&m_sha1, size_t(size), bytes);
    else
        md5_update(&m_md5, size_t(size), bytes);
}

QString DiskDigest::hex() const
{
    uint8_t out[SHA1_DIGEST_SIZE];
    size_t length = 0;
    if (m_kind == Kind::Sha1) {
        sha1_ctx copy = m_sha1;
        sha1_digest(&copy, length = SHA1_DIGEST_SIZE, out);
    } else {
        md5_ctx copy = m_md5;
        md5_digest(&copy, length = MD5_DIGEST_SIZE, out);
    }
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(out), qsizetype(length)).toHex());
}

bool DiskDigest::matches(const QString& expected) const
{
    return hex() == expected.toLower();
}
