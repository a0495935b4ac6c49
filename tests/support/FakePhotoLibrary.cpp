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
        if (mode == SaveMode::Hold)
            m_held.append({Saved{bytes, ext, date}, std::move(completion)});
    }
    if (mode == SaveMode::NeverAnswer || mode == SaveMode::Hold)
        return;
    answer(mode == SaveMode::Succeed, ext, std::move(completion));
}

void FakePhotoLibrary::answer(bool ok, const QString& ext, SaveCompletion completion)
{
    SaveResult result;
    if (!ok)
        result.error = "library refused";
    else
        result.url = "assets-library://asset/asset." + ext + "?id=SAVED&ext=" + ext;
    MainThread::post([completion = std::move(completion), result] { completion(result); });
}

int FakePhotoLibrary::held() const
{
    std::lock_guard lock(m_mutex);
    return int(m_held.size());
}

void FakePhotoLibrary::answerHeld(bool ok)
{
    std::pair<Saved, SaveCompletion> save;
    {
        std::lock_guard lock(m_mutex);
        if (m_held.isEmpty())
            return;
        save = m_held.takeFirst();
        if (ok)
            m_saved.append(save.first);
    }
    answer(ok, save.first.ext, std::move(save.second));
}
