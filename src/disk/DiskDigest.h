#pragma once

#include <QByteArray>
#include <QString>

#include <nettle/md5.h>
#include <nettle/sha1.h>

// A running digest of a stored file's bytes, taken as they pass: SHA-1 when
// the file has one (or none at all), otherwise MD5. Copyable, so the digest
// of what went by so far can be read without ending the run.
class DiskDigest {
public:
    enum class Kind { Sha1, Md5 };

    explicit DiskDigest(Kind kind = Kind::Sha1);
    // The digest that checks a file recorded with these (SHA-1 first).
    static DiskDigest forFile(const QString& sha1, const QString& md5);

    Kind kind() const { return m_kind; }
    void update(const char* data, qint64 size);
    void update(const QByteArray& bytes) { update(bytes.constData(), bytes.size()); }
    // Lower-case hexadecimal digest of everything so far; the run goes on.
    QString hex() const;
    // Whether `expected` (either case) is the digest of everything so far.
    bool matches(const QString& expected) const;

private:
    Kind m_kind;
    sha1_ctx m_sha1;
    md5_ctx m_md5;
};
