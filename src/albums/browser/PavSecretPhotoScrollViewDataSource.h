#pragma once

#include "albums/store/PavPhotoModel.h"

class PavSecretPhotoScrollView;

// What the private photo pager asks of its data source.
class PavSecretPhotoScrollViewDataSource {
public:
    virtual ~PavSecretPhotoScrollViewDataSource() = default;
    virtual int pageCountForPhotoScrollView(PavSecretPhotoScrollView* view) = 0;
    virtual PavPhotoModelPtr photoScrollViewPhotoModelAtIndex(PavSecretPhotoScrollView* view, int index) = 0;
    virtual int beginPageIndexForPhotoScrollView(PavSecretPhotoScrollView* view) = 0;
};
