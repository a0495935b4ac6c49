#include "support/FakeAssetsLibrary.h"

#include "platform/core/MainThread.h"

void FakeAssetsLibrary::setGroups(std::vector<AssetsGroup> groups)
{
    std::lock_guard lock(m_mutex);
    m_groups = std::move(groups);
}

void FakeAssetsLibrary::setOnEnumerate(std::function<void()> hook)
{
    std::lock_guard lock(m_mutex);
    m_onEnumerate = std::move(hook);
}

bool FakeAssetsLibrary::enumerateGroups(unsigned types, std::vector<AssetsGroup>* groups, AssetsLibraryError* error)
{
    ++m_enumerations;
    std::function<void()> hook;
    {
        std::lock_guard lock(m_mutex);
        hook = m_onEnumerate;
    }
    if (hook)
        hook();
    groups->clear();
    if (m_refused) {
        if (error) {
            error->code = 1;
            error->message = "refused";
        }
        return false;
    }
    std::lock_guard lock(m_mutex);
    for (const AssetsGroup& g : m_groups) {
        if (g.type & types)
            groups->push_back(g);
    }
    return true;
}

void FakeAssetsLibrary::holdThumbnails(bool hold)
{
    std::lock_guard lock(m_mutex);
    m_thumbnailsHeld = hold;
    m_released.notify_all();
}

QImage FakeAssetsLibrary::thumbnail(const PhotoAsset& asset)
{
    {
        std::unique_lock lock(m_mutex);
        m_released.wait(lock, [this] { return !m_thumbnailsHeld; });
    }
    if (!assetForUrl(asset.url()))
        return {};
    QImage img(200, 200, QImage::Format_RGB32);
    img.fill(asset.kind() == PhotoAssetKind::Video ? QColor(40, 90, 160) : QColor(200, 120, 60));
    return img;
}

QImage FakeAssetsLibrary::fullResolutionImage(const PhotoAsset& asset, ImageOrientation* orientation)
{
    if (orientation)
        *orientation = ImageOrientation::Up;
    return thumbnail(asset);
}

PhotoAssetPtr FakeAssetsLibrary::assetForUrl(const QString& url)
{
    std::lock_guard lock(m_mutex);
    for (const AssetsGroup& g : m_groups) {
        for (const PhotoAssetPtr& a : g.assets) {
            if (a->url() == url)
                return a;
        }
    }
    return nullptr;
}

void FakeAssetsLibrary::saveToLibrary(const QByteArray&, const QString&, const QDateTime&, SaveCompletion completion)
{
    MainThread::post([completion] {
        if (completion)
            completion(SaveResult{QString(), QStringLiteral("not supported by the fake")});
    });
}
