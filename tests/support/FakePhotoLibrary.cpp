#include "support/FakePhotoLibrary.h"

#include "platform/core/MainThread.h"

void FakePhotoLibrary::add(PhotoAssetPtr asset)
{
    std::lock_guard lock(m_mutex);
    m_assets.insert(asset->url(), std::move(asset));
}

PhotoAssetPtr FakePhotoLibrary::assetForUrl(const QString& url)
{
    std::lock_guard lock(m_mutex);
    return m_assets.value(url);
}

void FakePhotoLibrary::setSaveMode(SaveMode mode)
{
    std::lock_guard lock(m_mutex);
    m_mode = mode;
}

QList<FakePhotoLibrary::Saved> FakePhotoLibrary::saved() const
{
    std::lock_guard lock(m_mutex);
    return m_saved;
}

void FakePhotoLibrary::saveToLibrary(const QByteArray& bytes, const QString& ext, const QDateTime& date,
                                     SaveCompletion completion)
{
    SaveMode mode;
    {
        std::lock_guard lock(m_mutex);
        mode = m_mode;
        if (mode == SaveMode::Succeed)
            m_saved.append(Saved{bytes, ext, date});
    }
    if (mode == SaveMode::NeverAnswer)
        return;
    SaveResult result;
    if (mode == SaveMode::Fail)
        result.error = "library refused";
    else
        result.url = "assets-library://asset/asset." + ext + "?id=SAVED&ext=" + ext;
    MainThread::post([completion = std::move(completion), result] { completion(result); });
}
