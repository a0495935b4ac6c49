#pragma once

#include "platform/photolib/PhotoLibrary.h"

#include <QHash>
#include <QList>

#include <mutex>

// A library that keeps what it is given. Saves are recorded and answered on
// the main thread unless told to fail, to stay silent or to hold them until
// the test answers.
class FakePhotoLibrary : public PhotoLibrary {
public:
    struct Saved {
        QByteArray bytes;
        QString ext;
        QDateTime date;
    };
    enum class SaveMode { Succeed, Fail, NeverAnswer, Hold };

    void add(PhotoAssetPtr asset);
    PhotoAssetPtr assetForUrl(const QString& url) override;
    void saveToLibrary(const QByteArray& bytes, const QString& ext, const QDateTime& date,
                       SaveCompletion completion) override;

    void setSaveMode(SaveMode mode);
    QList<Saved> saved() const;
    int held() const;
    // Answers the oldest held save (on the main thread): kept, or refused.
    void answerHeld(bool ok);

private:
    static void answer(bool ok, const QString& ext, SaveCompletion completion);

    mutable std::mutex m_mutex;
    QHash<QString, PhotoAssetPtr> m_assets;
    QList<Saved> m_saved;
    SaveMode m_mode = SaveMode::Succeed;
    QList<std::pair<Saved, SaveCompletion>> m_held;
};
