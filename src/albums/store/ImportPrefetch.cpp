#include "albums/store/ImportPrefetch.h"

#include "platform/core/SerialQueue.h"

ImportPrefetch::ImportPrefetch() : m_queue(std::make_unique<SerialQueue>("ImportPrefetch")) {}

ImportPrefetch::~ImportPrefetch() = default;

void ImportPrefetch::prefetch(PhotoAssetPtr asset)
{
    m_asset = std::move(asset);
    m_slot = std::make_shared<Slot>();
    if (!m_asset)
        return;
    m_queue->async([slot = m_slot, asset = m_asset] {
        auto prepared = std::make_shared<const PavPhotoManager::PreparedAsset>(PavPhotoManager::prepareAsset(*asset));
        std::lock_guard lock(slot->mutex);
        slot->result = std::move(prepared);
        slot->ready.notify_all();
    });
}

std::shared_ptr<const PavPhotoManager::PreparedAsset> ImportPrefetch::take(const PhotoAssetPtr& asset)
{
    if (!asset || asset != m_asset || !m_slot)
        return nullptr;
    std::shared_ptr<Slot> slot = std::move(m_slot);
    m_asset.reset();
    std::unique_lock lock(slot->mutex);
    slot->ready.wait(lock, [&] { return slot->result != nullptr; });
    return slot->result;
}
