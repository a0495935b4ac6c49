#include "platform/photolib/AssetsLibrary.h"

namespace {
bool passes(const PhotoAsset& asset, AssetsFilter filter)
{
    switch (filter) {
    case AssetsFilter::AllPhotos:
        return asset.kind() == PhotoAssetKind::Photo;
    case AssetsFilter::AllVideos:
        return asset.kind() == PhotoAssetKind::Video;
    case AssetsFilter::AllAssets:
        return true;
    }
    return false;
}
}

std::vector<PhotoAssetPtr> AssetsGroup::filtered(AssetsFilter filter) const
{
    std::vector<PhotoAssetPtr> out;
    for (const PhotoAssetPtr& asset : assets) {
        if (asset && passes(*asset, filter))
            out.push_back(asset);
    }
    return out;
}

int AssetsGroup::count(AssetsFilter filter) const
{
    int n = 0;
    for (const PhotoAssetPtr& asset : assets)
        n += (asset && passes(*asset, filter)) ? 1 : 0;
    return n;
}
