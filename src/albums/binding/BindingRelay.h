#pragma once

#include "albums/binding/PavSecretAlbumPasswordProtectViewControllerDelegate_iPad.h"

#include <QObject>

#include <functional>

// A binding screen's delegate made of callbacks, for owners that are not
// delegates themselves (the lock screen, the settings). Make it a child of
// the binding screen so that it lives exactly as long.
class BindingRelay : public QObject, public PavSecretAlbumPasswordProtectViewControllerDelegate_iPad {
public:
    using Handler = std::function<void(PavSecretAlbumPasswordProtectViewController_iPad* screen)>;

    explicit BindingRelay(QObject* parent) : QObject(parent) {}

    Handler onBound;
    Handler onUnbound;
    Handler onVerified;

    void passwordProtectViewControllerDidBindKy(PavSecretAlbumPasswordProtectViewController_iPad* s,
                                                const QString&) override
    {
        if (onBound)
            onBound(s);
    }
    void passwordProtectViewControllerDidUnBindKy(PavSecretAlbumPasswordProtectViewController_iPad* s,
                                                  const QString&) override
    {
        if (onUnbound)
            onUnbound(s);
    }
    void passwordProtectViewControllerVerfyBindingKySuccess(PavSecretAlbumPasswordProtectViewController_iPad* s) override
    {
        if (onVerified)
            onVerified(s);
    }
};
