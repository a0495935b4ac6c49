#pragma once

#include "platform/photolib/PhotoAsset.h"

#include <atomic>

// An asset held in memory. setReadFails makes readAll report a failed read;
// setShortBy makes it hand over that many bytes fewer than size() while
// claiming success (a reader that does not check its length).
class FakePhotoAsset : public PhotoAsset {
public:
    FakePhotoAsset(QString url, QByteArray bytes, PhotoAssetKind kind = PhotoAssetKind::Photo,
                   QDateTime date = QDateTime::currentDateTimeUtc(), double duration = 0);

    QString url() const override { return m_url; }
    PhotoAssetKind kind() const override { return m_kind; }
    QDateTime date() const override { return m_date; }
    double duration() const override { return m_duration; }
    qint64 size() const override { return m_bytes.size(); }
    bool readAll(QByteArray* out, QString* error = nullptr) const override;

    void setReadFails(bool fails) { m_readFails = fails; }
    void setShortBy(int bytes) { m_shortBy = bytes; }
    int readCount() const { return m_reads; }

    static std::shared_ptr<FakePhotoAsset> make(QString url, QByteArray bytes,
                                                PhotoAssetKind kind = PhotoAssetKind::Photo,
                                                QDateTime date = QDateTime::currentDateTimeUtc());
    // A library-style asset named by its id; the URL's extension follows the kind.
    static std::shared_ptr<FakePhotoAsset> withId(const QString& id, PhotoAssetKind kind, QDateTime date);

private:
    QString m_url;
    QByteArray m_bytes;
    PhotoAssetKind m_kind;
    QDateTime m_date;
    double m_duration;
    bool m_readFails = false;
    int m_shortBy = 0;
    mutable std::atomic<int> m_reads{0};
};
