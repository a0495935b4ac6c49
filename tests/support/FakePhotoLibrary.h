#pragma once

#include "platform/photolib/PhotoLibrary.h"

#include <QHash>
#include <QList>

#include <mutex>

// A library that keeps what it is given. Saves are recorded and answered on
// the main thread unless told to fail or to stay silent.
class FakePhotoLibrary : public PhotoLibrary {
public:
    struct Saved {
        QByteArray bytes;
        QString ext;
        QDateTime date;
    };
    enum class SaveMode { Succeed, Fail, NeverAnswer };

    void add(PhotoAssetPtr asset);
    PhotoAssetPtr assetForUrl(const QString& url) override;
    void saveToLibrary(const QByteArray& bytes, const QString& ext, const QDateTime& date,
                       SaveCompletion completion) override;

    void setSaveMode(SaveMode mode);
    QList<Saved> saved() const;

private:
    mutable std::mutex m_mutex;
    QHash<QString, PhotoAssetPtr> m_assets;
    QList<Saved> m_saved;
    SaveMode m_mode = SaveMode::Succeed;
};
