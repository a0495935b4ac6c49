#pragma once

#include "albums/AlbumUsage.h"
#include "albums/binding/PavSecretAlbumPasswordProtectViewControllerDelegate_iPad.h"
#include "albums/binding/RecoveryBindingForm.h"
#include "albums/cloud/PavVerifyPasswordDelegate_iPad.h"
#include "albums/cloud/SignInFields.h"
#include "disk/ZEBConnectionAuthDelegate.h"
#include "platform/core/DelegateRef.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Screen.h"

#include <functional>

class KyTextInput;
class PavAlbumPasswordManager;
class QLabel;

namespace ui {
class ImageButton;
class ImageView;
}

// The password-recovery binding screen: binds the private album to an
// account, shows and removes that binding, and signs in to the bound account
// so that a forgotten password may be set anew. The sign-in is the disk
// account login; this screen only uses its answer, never keeps the password,
// and drops answers that come when no sign-in of its own is waiting.
class PavSecretAlbumPasswordProtectViewController_iPad : public ui::Screen,
                                                         public ZEBConnectionAuthDelegate,
                                                         public PavVerifyPasswordDelegate_iPad,
                                                         public ui::AlertDelegate {
    Q_OBJECT
public:
    struct Collaborators {
        PavAlbumPasswordManager* passwords = nullptr;   // default: the shared manager
        AlbumUsage::Recorder usage;                     // default: the usage store
        std::function<int()> networkKind;               // default: NetworkHelper
        // Starts a sign-in that answers delegate; default: the disk login model.
        std::function<void(ZEBConnectionAuthDelegate* delegate, const QString& account, const QString& password)>
            signIn;
        // Makes the verification-code screen; default: the disk's.
        std::function<ui::Screen*(PavSecretAlbumPasswordProtectViewController_iPad* owner, const QString& account,
                                  const QString& password, const QString& imageUrl)>
            makeVerifyScreen;
        std::function<void(const QString& url)> openUrl;  // default: the desktop's browser
    };

    static constexpr int kSignInDelayMs = 300;
    static constexpr int kOpenBindingEvent = 27226;
    static constexpr int kBoundEvent = 27227;

    explicit PavSecretAlbumPasswordProtectViewController_iPad(int controllerType, QWidget* parent = nullptr);
    PavSecretAlbumPasswordProtectViewController_iPad(int controllerType, Collaborators collaborators,
                                                     QWidget* parent = nullptr);
    ~PavSecretAlbumPasswordProtectViewController_iPad() override;
    // A new screen of a controller type (RecoveryBindingForm::Type).
    static PavSecretAlbumPasswordProtectViewController_iPad* initWithControllerType(int controllerType);
    static PavSecretAlbumPasswordProtectViewController_iPad* initWithControllerType(int controllerType,
                                                                                    Collaborators collaborators);

    // Makes the lock screen open this screen, with these collaborators, for
    // its binding offer and for "忘记密码".
    static void registerWithLockScreen();
    static void registerWithLockScreen(Collaborators collaborators);

    int controllerType() const { return m_type; }
    PavSecretAlbumPasswordProtectViewControllerDelegate_iPad* delegate() const { return m_delegate.get(); }
    void setDelegate(PavSecretAlbumPasswordProtectViewControllerDelegate_iPad* d) { m_delegate.reset(d); }
    // Runs once when the screen leaves its stack for good (or goes away).
    const std::function<void()>& popInvocation() const { return m_popInvocation; }
    void setPopInvocation(std::function<void()> invocation) { m_popInvocation = std::move(invocation); }
    bool isSigningIn() const { return m_signingIn; }

    KyTextInput* kyAccountTextInput() const { return m_account; }
    KyTextInput* kyPasswordTextInput() const { return m_password; }
    ui::ImageButton* confirmButton() const { return m_confirm; }
    ui::ImageView* tipBackgroundImageView() const { return m_tipBackgroundImageView; }
    QLabel* firstTipLabel() const { return m_firstTip; }
    QLabel* secondTipLabel() const { return m_secondTip; }

    void confirmButtonClicked();
    void passButtonClicked();
    void closeButtonClicked();
    // Both inputs stop typing (a tap beside them). The desktop has no
    // on-screen keyboard to pull the view up from, so nothing moves.
    void pullDownView();

    // ZEBConnectionAuthDelegate
    int loginResult(bool result, int tag) override;
    void loginNeedVerfy(const QString& imageUrl, bool fault) override;
    // PavVerifyPasswordDelegate_iPad
    void cancelVerifyPassword() override;
    // ui::AlertDelegate
    void alertViewClickedButtonAtIndex(ui::Alert* alert, int buttonIndex) override;

protected:
    void viewDidLoad() override;
    void viewDidDisappear(bool animated) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void initViewWithType();
    void showTip(const QString& title, const QString& message, const QString& button, SignInFields::Field toCorrect);
    void showProgressView();
    void dismissProgressView();
    void leave();
    void runPopInvocation();

    int m_type;
    Collaborators m_c;
    PavAlbumPasswordManager& m_passwords;
    DelegateRef<PavSecretAlbumPasswordProtectViewControllerDelegate_iPad> m_delegate;
    std::function<void()> m_popInvocation;
    bool m_signingIn = false;
    bool m_progressShown = false;
    SignInFields* m_fields = nullptr;

    ui::ImageView* m_tipBackgroundImageView = nullptr;
    QLabel* m_firstTip = nullptr;
    QLabel* m_secondTip = nullptr;
    KyTextInput* m_account = nullptr;
    KyTextInput* m_password = nullptr;
    ui::ImageButton* m_confirm = nullptr;
};
