#include "albums/store/ALAsset.h"

ALAsset::ALAsset(PhotoAssetPtr asset) : m_asset(std::move(asset)) {}

QString ALAsset::typeOf(PhotoAssetKind kind)
{
    switch (kind) {
    case PhotoAssetKind::Photo:
        return ALAssetTypePhoto;
    case PhotoAssetKind::Video:
        return ALAssetTypeVideo;
    case PhotoAssetKind::Other:
        break;
    }
    return ALAssetTypeUnknown;
}
