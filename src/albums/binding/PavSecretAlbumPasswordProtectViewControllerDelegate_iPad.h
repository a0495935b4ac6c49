#pragma once

#include <QString>

class PavSecretAlbumPasswordProtectViewController_iPad;

// Told of the binding screen's outcome; every message is optional.
// passwordProtectViewController:didBindKy: and passwordProtectViewController:didUnBindKy:
// share their first part and their arguments, so each keeps its second part
// in its name.
class PavSecretAlbumPasswordProtectViewControllerDelegate_iPad {
public:
    virtual ~PavSecretAlbumPasswordProtectViewControllerDelegate_iPad() = default;
    virtual void passwordProtectViewControllerDidBindKy(PavSecretAlbumPasswordProtectViewController_iPad* screen,
                                                        const QString& account)
    {
        (void)screen;
        (void)account;
    }
    virtual void passwordProtectViewControllerDidUnBindKy(PavSecretAlbumPasswordProtectViewController_iPad* screen,
                                                          const QString& account)
    {
        (void)screen;
        (void)account;
    }
    // Answers whether it handled the skip (the screen closes itself otherwise).
    virtual bool passwordProtectViewControllerDidCancelBindingKy(PavSecretAlbumPasswordProtectViewController_iPad* screen)
    {
        (void)screen;
        return false;
    }
    virtual void passwordProtectViewControllerVerfyBindingKySuccess(
        PavSecretAlbumPasswordProtectViewController_iPad* screen)
    {
        (void)screen;
    }
};
