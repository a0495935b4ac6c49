#pragma once

class PavPhotosProcessingView_iPad;

// Told when the user taps the panel's cancel button (once per panel).
class PavPhotosProcessingViewDelegate {
public:
    virtual ~PavPhotosProcessingViewDelegate() = default;
    virtual void photosProcessingViewCancelButtonClicked(PavPhotosProcessingView_iPad* view) = 0;
};
