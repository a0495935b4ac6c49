#include "albums/widgets/AssetThumbnail.h"

#include "albums/widgets/ImageLoadPool.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/ui/ImageView.h"

#include <QPixmap>

void AssetThumbnail::loadInto(ui::ImageView* view, const PhotoAssetPtr& asset)
{
    std::shared_ptr<AssetsLibrary> library = KyAssetsLibrary::shareAssetsLibrary().library();
    if (!library || !asset)
        return;
    ImageLoadPool::shared().load(
        view, [library, asset] { return library->thumbnail(*asset); }, {},
        [view](const QImage& image) {
            // A file that does not decode still takes its place in the grid, marked as failed.
            if (image.isNull())
                view->setImageNamed(QStringLiteral("PavAlbum_LoadPhotoFailed_iPad.png"));
            else
                view->setImage(QPixmap::fromImage(image));
        });
}
