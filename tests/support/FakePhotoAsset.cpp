#include "support/FakePhotoAsset.h"

FakePhotoAsset::FakePhotoAsset(QString url, QByteArray bytes, PhotoAssetKind kind, QDateTime date, double duration)
    : m_url(std::move(url)), m_bytes(std::move(bytes)), m_kind(kind), m_date(std::move(date)), m_duration(duration)
{
}

std::shared_ptr<FakePhotoAsset> FakePhotoAsset::make(QString url, QByteArray bytes, PhotoAssetKind kind,
                                                     QDateTime date)
{
    return std::make_shared<FakePhotoAsset>(std::move(url), std::move(bytes), kind, std::move(date));
}

std::shared_ptr<FakePhotoAsset> FakePhotoAsset::withId(const QString& id, PhotoAssetKind kind, QDateTime date)
{
    const QString ext = kind == PhotoAssetKind::Video ? "MOV" : kind == PhotoAssetKind::Photo ? "JPG" : "TXT";
    return make("assets-library://asset/asset." + ext + "?id=" + id + "&ext=" + ext, "x", kind, std::move(date));
}

bool FakePhotoAsset::readAll(QByteArray* out, QString* error) const
{
    ++m_reads;
    out->clear();
    if (m_bytes.isEmpty() || m_readFails) {
        if (error)
            *error = "read failed";
        return false;
    }
    *out = m_bytes.left(m_bytes.size() - m_shortBy);
    return true;
}
