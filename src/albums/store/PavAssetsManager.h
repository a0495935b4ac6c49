#pragma once

#include "albums/store/ALAsset.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/SerialQueue.h"
#include "platform/photolib/AssetsLibrary.h"

#include <QList>
#include <QVariant>

#include <functional>
#include <memory>
#include <mutex>

class PavAssetsManager;

// Answers of the reader, all on the main thread. The optional ones default to
// nothing.
class PavAssetsManagerDelegate {
public:
    virtual ~PavAssetsManagerDelegate() = default;
    virtual void assetsManagerDidUpdateAssetsArray(const QList<ALAssetPtr>& assets, const QVariant& object) = 0;
    virtual void assetsManagerFailedUpdatingWithError(const AssetsLibraryError& error, const QVariant& object)
    {
        Q_UNUSED(error);
        Q_UNUSED(object);
    }
    virtual void assetsManagerDidCheckAssetsLibraryIsAvailable(bool available, const QVariant& object)
    {
        Q_UNUSED(available);
        Q_UNUSED(object);
    }
    virtual void assetCountOfAssetsManager(unsigned count) { Q_UNUSED(count); }
    virtual void photoCountOfAssetsManager(unsigned count) { Q_UNUSED(count); }
    virtual void videoCountOfAssetsManager(unsigned count) { Q_UNUSED(count); }
    virtual void firstPhotoOfAssetsManager(const ALAssetPtr& asset) { Q_UNUSED(asset); }
};

// The one reader of the device photo library for the albums. Requests are
// enumerated one at a time on the reader's own queue, so they are answered
// in the order made; the answers go to the delegate on the main thread, and
// an answer whose delegate is gone is dropped (a delegate that is a QObject,
// as screens are, is noticed when it goes).
//
// The blocking reader enumerates on its calling thread (any thread, the main
// one included) and keeps two caches, emptied when the library changes. A
// fill that started before a change is not stored.
class PavAssetsManager {
public:
    using LibraryProvider = std::function<std::shared_ptr<AssetsLibrary>()>;

    static PavAssetsManager& sharePavALAssetsManager();
    explicit PavAssetsManager(LibraryProvider provider);
    ~PavAssetsManager();

    // Lists the camera roll: kind ALAssetTypePhoto, ALAssetTypeVideo, or
    // anything else for every asset.
    void updateWithAssetType(const QString& type, PavAssetsManagerDelegate* delegate, const QVariant& object = {});
    void getAssetsLibraryInfoWithDelegate(PavAssetsManagerDelegate* delegate, const QVariant& object = {});
    void checkAssetsLibrayIsAvailableWithDelegate(PavAssetsManagerDelegate* delegate, const QVariant& object = {});

    // Blocking: empty optional when the library refused.
    std::optional<QList<ALAssetPtr>> updateAssetsWithGroupType(unsigned groupType, AssetsFilter filter);
    std::optional<QList<ALAssetPtr>> getCameraRollPhotoArray();
    std::optional<QList<ALAssetPtr>> getOtherPhotoArray();
    void expire();
    void assetsLibraryDidChange();

    std::optional<QList<ALAssetPtr>> cameraRollPhotoArray() const;
    std::optional<QList<ALAssetPtr>> otherPhotoArray() const;
    void setCameraRollPhotoArray(std::optional<QList<ALAssetPtr>> array);
    void setOtherPhotoArray(std::optional<QList<ALAssetPtr>> array);

    // Waits until every request made so far has been enumerated (tests).
    void drain() { m_queue.drain(); }

private:
    using Slot = std::optional<QList<ALAssetPtr>> PavAssetsManager::*;
    std::optional<QList<ALAssetPtr>> cachedArray(Slot slot, unsigned groupType);
    // Runs on the queue; the answer runs on the main thread if the delegate lives.
    void request(PavAssetsManagerDelegate* delegate,
                 std::function<std::function<void(PavAssetsManagerDelegate&)>()> work);

    LibraryProvider m_provider;
    mutable std::mutex m_cacheMutex;
    quint64 m_generation = 0;
    std::optional<QList<ALAssetPtr>> m_cameraRollPhotoArray;
    std::optional<QList<ALAssetPtr>> m_otherPhotoArray;
    ObserverToken m_observer;
    SerialQueue m_queue{"PavAssetsManager"};
};
