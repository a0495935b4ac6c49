#pragma once

// Told which album the user chose on the strip, and of the settings button.
class PavAlbumSelectionViewDelegate_iPad {
public:
    virtual ~PavAlbumSelectionViewDelegate_iPad() = default;
    virtual void albumSelectionViewDidSelectedItem(int index) = 0;
    virtual void albumSelectionViewDidClickSettingButton() = 0;
};
