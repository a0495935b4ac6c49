#include "albums/store/PavAssetsManager.h"

#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/core/DelegateRef.h"
#include "platform/core/MainThread.h"

#include <algorithm>

namespace {

ALAssetPtr annotated(const PhotoAssetPtr& asset)
{
    auto out = std::make_shared<ALAsset>(asset);
    out->setType(ALAsset::typeOf(asset->kind()));
    out->setDate(asset->date());
    return out;
}

AssetsFilter filterFor(const QString& type)
{
    if (type == ALAsset::ALAssetTypePhoto)
        return AssetsFilter::AllPhotos;
    if (type == ALAsset::ALAssetTypeVideo)
        return AssetsFilter::AllVideos;
    return AssetsFilter::AllAssets;
}

using Delivery = std::function<void(PavAssetsManagerDelegate&)>;

Delivery failure(const AssetsLibraryError& error, const QVariant& object)
{
    return [error, object](PavAssetsManagerDelegate& d) { d.assetsManagerFailedUpdatingWithError(error, object); };
}

}

PavAssetsManager& PavAssetsManager::sharePavALAssetsManager()
{
    static PavAssetsManager instance([] { return KyAssetsLibrary::shareAssetsLibrary().library(); });
    return instance;
}

PavAssetsManager::PavAssetsManager(LibraryProvider provider) : m_provider(std::move(provider))
{
    m_observer = NotificationCenter::defaultCenter().addObserver(
        KyAssetsLibrary::kChangedNotification, [this](const QVariantMap&) { assetsLibraryDidChange(); });
}

PavAssetsManager::~PavAssetsManager()
{
    m_observer.reset();
    m_queue.drain();
}

void PavAssetsManager::request(PavAssetsManagerDelegate* delegate, std::function<Delivery()> work)
{
    if (!delegate)
        return;
    // Held weakly: a delegate that is gone by the time the answer is ready
    // (a picker closed meanwhile) gets nothing.
    DelegateRef<PavAssetsManagerDelegate> ref(delegate);
    m_queue.async([ref, work = std::move(work)] {
        Delivery deliver = work();
        MainThread::post([ref, deliver = std::move(deliver)] {
            if (PavAssetsManagerDelegate* d = ref.get())
                deliver(*d);
        });
    });
}

void PavAssetsManager::updateWithAssetType(const QString& type, PavAssetsManagerDelegate* delegate,
                                           const QVariant& object)
{
    request(delegate, [this, type, object]() -> Delivery {
        std::vector<AssetsGroup> groups;
        AssetsLibraryError error;
        auto library = m_provider();
        if (!library || !library->enumerateGroups(AssetsGroupSavedPhotos, &groups, &error))
            return failure(error, object);
        QList<ALAssetPtr> all, photos, videos, lasts;
        for (const AssetsGroup& group : groups) {
            for (const PhotoAssetPtr& asset : group.filtered(filterFor(type))) {
                ALAssetPtr item = annotated(asset);
                if (item->isPhoto()) {
                    all.append(item);
                    photos.append(item);
                } else if (item->isVideo()) {
                    all.append(item);
                    videos.append(item);
                }
            }
            if (!photos.isEmpty() && (lasts.isEmpty() || lasts.last() != photos.last()))
                lasts.append(photos.last());
        }
        std::stable_sort(lasts.begin(), lasts.end(),
                         [](const ALAssetPtr& a, const ALAssetPtr& b) { return a->date() > b->date(); });
        const ALAssetPtr newest = lasts.isEmpty() ? nullptr : lasts.first();
        const QList<ALAssetPtr> answer =
            type == ALAsset::ALAssetTypePhoto ? photos : type == ALAsset::ALAssetTypeVideo ? videos : all;
        return [=](PavAssetsManagerDelegate& d) {
            d.assetsManagerDidUpdateAssetsArray(answer, object);
            d.assetCountOfAssetsManager(static_cast<unsigned>(all.size()));
            d.photoCountOfAssetsManager(static_cast<unsigned>(photos.size()));
            d.videoCountOfAssetsManager(static_cast<unsigned>(videos.size()));
            d.firstPhotoOfAssetsManager(newest);
        };
    });
}

void PavAssetsManager::getAssetsLibraryInfoWithDelegate(PavAssetsManagerDelegate* delegate, const QVariant& object)
{
    request(delegate, [this, object]() -> Delivery {
        std::vector<AssetsGroup> groups;
        AssetsLibraryError error;
        auto library = m_provider();
        if (!library || !library->enumerateGroups(AssetsGroupSavedPhotos, &groups, &error))
            return failure(error, object);
        unsigned photoCount = 0, videoCount = 0;
        ALAssetPtr candidate;
        for (const AssetsGroup& group : groups) {
            videoCount += static_cast<unsigned>(group.count(AssetsFilter::AllVideos));
            const std::vector<PhotoAssetPtr> photos = group.filtered(AssetsFilter::AllPhotos);
            photoCount += static_cast<unsigned>(photos.size());
            if (photos.empty())
                continue;
            // Only a strictly later date replaces the candidate.
            if (!candidate || candidate->date() < photos.back()->date())
                candidate = annotated(photos.back());
        }
        return [=](PavAssetsManagerDelegate& d) {
            d.photoCountOfAssetsManager(photoCount);
            d.videoCountOfAssetsManager(videoCount);
            d.assetCountOfAssetsManager(photoCount + videoCount);
            d.firstPhotoOfAssetsManager(candidate);
        };
    });
}

void PavAssetsManager::checkAssetsLibrayIsAvailableWithDelegate(PavAssetsManagerDelegate* delegate,
                                                                const QVariant& object)
{
    request(delegate, [this, object]() -> Delivery {
        std::vector<AssetsGroup> groups;
        auto library = m_provider();
        const bool available = library && library->enumerateGroups(AssetsGroupSavedPhotos, &groups, nullptr);
        return [available, object](PavAssetsManagerDelegate& d) {
            d.assetsManagerDidCheckAssetsLibraryIsAvailable(available, object);
        };
    });
}

std::optional<QList<ALAssetPtr>> PavAssetsManager::updateAssetsWithGroupType(unsigned groupType, AssetsFilter filter)
{
    std::vector<AssetsGroup> groups;
    auto library = m_provider();
    if (!library || !library->enumerateGroups(groupType, &groups, nullptr))
        return std::nullopt;
    QList<ALAssetPtr> out;
    for (const AssetsGroup& group : groups) {
        for (const PhotoAssetPtr& asset : group.filtered(filter))
            out.append(annotated(asset));
    }
    return out;
}

std::optional<QList<ALAssetPtr>> PavAssetsManager::cachedArray(Slot slot, unsigned groupType)
{
    quint64 generation;
    {
        std::lock_guard lock(m_cacheMutex);
        if (this->*slot)
            return this->*slot;
        generation = m_generation;
    }
    auto fresh = updateAssetsWithGroupType(groupType, AssetsFilter::AllPhotos);
    if (!fresh)
        return std::nullopt;
    std::lock_guard lock(m_cacheMutex);
    if (generation != m_generation)
        return fresh;  // the library changed meanwhile: hand it out, keep nothing stale
    if (!(this->*slot))
        this->*slot = std::move(fresh);
    return this->*slot;
}

std::optional<QList<ALAssetPtr>> PavAssetsManager::getCameraRollPhotoArray()
{
    return cachedArray(&PavAssetsManager::m_cameraRollPhotoArray, AssetsGroupSavedPhotos);
}

std::optional<QList<ALAssetPtr>> PavAssetsManager::getOtherPhotoArray()
{
    return cachedArray(&PavAssetsManager::m_otherPhotoArray, AssetsGroupAlbum);
}

void PavAssetsManager::expire()
{
    std::lock_guard lock(m_cacheMutex);
    ++m_generation;
    m_cameraRollPhotoArray.reset();
    m_otherPhotoArray.reset();
}

void PavAssetsManager::assetsLibraryDidChange()
{
    expire();
}

std::optional<QList<ALAssetPtr>> PavAssetsManager::cameraRollPhotoArray() const
{
    std::lock_guard lock(m_cacheMutex);
    return m_cameraRollPhotoArray;
}

std::optional<QList<ALAssetPtr>> PavAssetsManager::otherPhotoArray() const
{
    std::lock_guard lock(m_cacheMutex);
    return m_otherPhotoArray;
}

void PavAssetsManager::setCameraRollPhotoArray(std::optional<QList<ALAssetPtr>> array)
{
    std::lock_guard lock(m_cacheMutex);
    m_cameraRollPhotoArray = std::move(array);
}

void PavAssetsManager::setOtherPhotoArray(std::optional<QList<ALAssetPtr>> array)
{
    std::lock_guard lock(m_cacheMutex);
    m_otherPhotoArray = std::move(array);
}
