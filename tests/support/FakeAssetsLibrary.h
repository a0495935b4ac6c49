#pragma once

#include "platform/photolib/AssetsLibrary.h"

#include <QHash>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>

// A device library held in memory: groups are set by the test, images are
// plain coloured squares, and the library can be told to refuse access.
// onEnumerate runs inside each enumeration (on the enumerating thread).
class FakeAssetsLibrary : public AssetsLibrary {
    Q_OBJECT
public:
    void setGroups(std::vector<AssetsGroup> groups);
    void setRefused(bool refused) { m_refused = refused; }
    void setOnEnumerate(std::function<void()> hook);
    int enumerations() const { return m_enumerations; }
    void emitChanged() { emit changed(); }
    // While held, thumbnail reads wait until released.
    void holdThumbnails(bool hold);

    bool enumerateGroups(unsigned types, std::vector<AssetsGroup>* groups, AssetsLibraryError* error) override;
    QImage thumbnail(const PhotoAsset& asset) override;
    QImage aspectRatioThumbnail(const PhotoAsset& asset) override { return thumbnail(asset); }
    QImage fullScreenImage(const PhotoAsset& asset) override { return thumbnail(asset); }
    QImage fullResolutionImage(const PhotoAsset& asset, ImageOrientation* orientation) override;
    PhotoAssetPtr assetForUrl(const QString& url) override;
    void saveToLibrary(const QByteArray& bytes, const QString& ext, const QDateTime& date,
                       SaveCompletion completion) override;

private:
    mutable std::mutex m_mutex;
    std::vector<AssetsGroup> m_groups;
    std::function<void()> m_onEnumerate;
    std::atomic<bool> m_refused{false};
    std::atomic<int> m_enumerations{0};
    std::condition_variable m_released;
    bool m_thumbnailsHeld = false;
};
