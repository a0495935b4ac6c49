#pragma once

// Told when the album settings sheet closes through its "关闭" button.
class PavAlbumSettingViewControllerDelegate {
public:
    virtual ~PavAlbumSettingViewControllerDelegate() = default;
    virtual void albumSettingViewControllerDidClose() = 0;
};
