#pragma once

class PavSecretAlbumPasswordController_iPad;

// Told of the lock screen's outcome. The screen passed along may be null when
// the message comes after the screen was replaced (the first password's
// hand-over to the binding screen): receivers close their own presentation
// rather than reaching through the argument.
class PavSecretAlbumPasswordControllerDelegate {
public:
    virtual ~PavSecretAlbumPasswordControllerDelegate() = default;
    virtual void secretAlbumPasswordControllerDidPassVerification(PavSecretAlbumPasswordController_iPad* controller) = 0;
    virtual void secretAlbumPasswordControllerDidSetPassword(PavSecretAlbumPasswordController_iPad* controller) = 0;
    virtual void secretAlbumPasswordControllerWillClose(PavSecretAlbumPasswordController_iPad* controller)
    {
        (void)controller;
    }
};
