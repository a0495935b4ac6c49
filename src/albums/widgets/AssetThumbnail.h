#pragma once

#include "platform/photolib/PhotoAsset.h"

namespace ui {
class ImageView;
}

namespace AssetThumbnail {
// Reads the square thumbnail of a photo of the shared device library on the
// shared image pool and shows it in view (while the view exists); the
// failed-load placeholder when the file gives none.
void loadInto(ui::ImageView* view, const PhotoAssetPtr& asset);
}
