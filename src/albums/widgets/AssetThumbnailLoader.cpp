#include "albums/widgets/AssetThumbnailLoader.h"

#include "disk/KyAssetsLibrary.h"
#include "platform/core/MainThread.h"
#include "platform/core/ThreadHooks.h"
#include "platform/ui/ImageView.h"

#include <QCoreApplication>
#include <QPixmap>
#include <QPointer>

AssetThumbnailLoader& AssetThumbnailLoader::shared()
{
    static AssetThumbnailLoader instance;
    static const bool stopsAtQuit = [] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, [] { instance.stop(); });
        return true;
    }();
    (void)stopsAtQuit;
    return instance;
}

void AssetThumbnailLoader::stop()
{
    m_stopped = true;
    m_pool.clear();
    m_pool.waitForDone();
}

AssetThumbnailLoader::AssetThumbnailLoader(int threads)
{
    m_pool.setMaxThreadCount(threads);
}

AssetThumbnailLoader::~AssetThumbnailLoader()
{
    m_pool.waitForDone();
}

void AssetThumbnailLoader::run(std::function<void()> fn)
{
    if (m_stopped)
        return;
    m_pool.start([fn = std::move(fn)] {
        thread_local bool named = false;
        if (!named) {
            ThreadHooks::threadStarted("Thumbnails");
            named = true;
        }
        fn();
    });
}

void AssetThumbnailLoader::load(std::shared_ptr<AssetsLibrary> library, PhotoAssetPtr asset, QObject* receiver,
                                std::function<void(const QImage&)> apply)
{
    if (!library || !asset)
        return;
    QPointer<QObject> guard(receiver);
    run([library = std::move(library), asset = std::move(asset), guard, apply = std::move(apply)] {
        if (!guard)
            return;  // gone before its turn: nothing to read
        const QImage image = library->thumbnail(*asset);
        MainThread::post([guard, apply, image] {
            if (guard)
                apply(image);
        });
    });
}

void AssetThumbnailLoader::loadInto(ui::ImageView* view, const PhotoAssetPtr& asset)
{
    load(KyAssetsLibrary::shareAssetsLibrary().library(), asset, view, [view](const QImage& image) {
        // A file that does not decode still takes its place in the grid, marked as failed.
        if (image.isNull())
            view->setImageNamed(QStringLiteral("PavAlbum_LoadPhotoFailed_iPad.png"));
        else
            view->setImage(QPixmap::fromImage(image));
    });
}
