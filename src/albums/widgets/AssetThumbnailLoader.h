#pragma once

#include "platform/photolib/AssetsLibrary.h"

#include <QImage>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>

namespace ui {
class ImageView;
}

// Reads library thumbnails on a small bounded pool and hands each to the
// main thread, where it is applied only while its receiver still exists.
// The shared loader stops when the application is about to quit: queued
// reads are dropped and the ones in hand finish, so no decode outlives the
// application object and its image plugins.
class AssetThumbnailLoader {
public:
    static AssetThumbnailLoader& shared();
    explicit AssetThumbnailLoader(int threads = 3);
    ~AssetThumbnailLoader();

    void load(std::shared_ptr<AssetsLibrary> library, PhotoAssetPtr asset, QObject* receiver,
              std::function<void(const QImage&)> apply);
    // The square thumbnail of the shared library into view; the failed-load
    // placeholder when the file gives none.
    void loadInto(ui::ImageView* view, const PhotoAssetPtr& asset);
    // Runs fn on the pool (for other stores' thumbnails).
    void run(std::function<void()> fn);
    void waitForDone() { m_pool.waitForDone(); }
    // Drops queued work, waits for work in hand and refuses new work.
    void stop();

private:
    QThreadPool m_pool;
    std::atomic<bool> m_stopped{false};
};
