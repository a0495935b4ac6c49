#pragma once

#include "albums/store/ALAsset.h"

// What the device album's tiles tell their screen.
class PavSystemAssetViewDelegate {
public:
    virtual ~PavSystemAssetViewDelegate() = default;
    virtual bool editStateOfSystemAssetViewDelegate() = 0;
    // A tap outside edit mode.
    virtual void systemAssetViewDidSelect(const ALAssetPtr& asset) { Q_UNUSED(asset); }
    // A tap in edit mode, after a photo's flag flipped.
    virtual void systemAssetViewSelected(const ALAssetPtr& asset) { Q_UNUSED(asset); }
};
