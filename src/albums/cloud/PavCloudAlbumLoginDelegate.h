#pragma once

// Told how the cloud album's sign-in sheet ended.
class PavCloudAlbumLoginDelegate {
public:
    virtual ~PavCloudAlbumLoginDelegate() = default;
    virtual void cloudAlbumLoginSuccess() = 0;
    virtual void cloudAlbumLoginCancel() = 0;
};
