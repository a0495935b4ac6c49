#pragma once

#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/PhotoAsset.h"

#include <condition_variable>
#include <memory>
#include <mutex>

class SerialQueue;

// Reads and decodes the next photo of an import batch on a helper thread
// while the current one is written, so the current item's syncs (its
// files and its index commit) overlap the next item's decode. Nothing is
// written ahead: a batch that stops drops what was prepared. Used from one
// thread at a time (the batch's worker); destruction waits for the
// preparation in hand.
class ImportPrefetch {
public:
    ImportPrefetch();
    ~ImportPrefetch();
    ImportPrefetch(const ImportPrefetch&) = delete;
    ImportPrefetch& operator=(const ImportPrefetch&) = delete;

    // Starts preparing asset; one prepared earlier and not taken is dropped.
    void prefetch(PhotoAssetPtr asset);
    // What was prepared for asset (waiting for it to be ready), or null when
    // asset is not the one last prefetched.
    std::shared_ptr<const PavPhotoManager::PreparedAsset> take(const PhotoAssetPtr& asset);

private:
    struct Slot {
        std::mutex mutex;
        std::condition_variable ready;
        std::shared_ptr<const PavPhotoManager::PreparedAsset> result;
    };
    PhotoAssetPtr m_asset;
    std::shared_ptr<Slot> m_slot;
    std::unique_ptr<SerialQueue> m_queue;
};
