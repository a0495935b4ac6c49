#pragma once

#include "albums/AlbumUsage.h"
#include "albums/lock/PinEntryMachine.h"
#include "albums/lock/PavSecretAlbumPasswordControllerDelegate.h"
#include "platform/core/DelegateRef.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Screen.h"

#include <QList>

#include <functional>

class PavAlbumPasswordBox;
class PavAlbumPasswordManager;
class QLabel;

// The lock screen: sets, asks for and changes the private album's
// four-digit password. Shown as the root of a form sheet's navigation stack,
// or pushed inside the settings sheet. It forgets an accepted old password
// whenever the album locks again.
class PavSecretAlbumPasswordController_iPad : public ui::Screen, public ui::AlertDelegate {
    Q_OBJECT
public:
    // Makes the recovery-binding screen of the given binding type. onClose is
    // the one-shot completion the binding screen runs when it closes (may be
    // empty).
    using BindingScreenFactory = std::function<ui::Screen*(int bindingType, PavSecretAlbumPasswordController_iPad* lock,
                                                           std::function<void()> onClose)>;

    static constexpr int kBindingOfferTag = 1023;
    static constexpr int kBindingAfterSetType = 0;
    static constexpr int kBindingRecoveryType = 3;

    explicit PavSecretAlbumPasswordController_iPad(int type, QWidget* parent = nullptr);
    PavSecretAlbumPasswordController_iPad(int type, PavAlbumPasswordManager& manager, AlbumUsage::Recorder usage,
                                          QWidget* parent = nullptr);
    ~PavSecretAlbumPasswordController_iPad() override;

    // The screen as the album screens make it: the default manager and
    // usage store, the binding offer on (showFirstGuide YES).
    static PavSecretAlbumPasswordController_iPad* initWithType(int type, QWidget* parent = nullptr);
    // The same with the manager and usage recorder of the screen that asks.
    static PavSecretAlbumPasswordController_iPad* initWithType(int type, PavAlbumPasswordManager& manager,
                                                               AlbumUsage::Recorder usage, QWidget* parent = nullptr);

    // The binding screen registers its factory at launch. Without one
    // "立即设置" and "忘记密码" open nothing, and a pending completion runs at
    // once.
    static void setBindingScreenFactory(BindingScreenFactory factory);

    PavSecretAlbumPasswordControllerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(PavSecretAlbumPasswordControllerDelegate* delegate) { m_delegate.reset(delegate); }
    bool showFirstGuide() const { return m_machine.showFirstGuide(); }
    void setShowFirstGuide(bool show) { m_machine.setShowFirstGuide(show); }
    const PinEntryMachine& machine() const { return m_machine; }

    // The widget that really takes the typed digits: the screen itself (the
    // four boxes refuse the focus and only show them).
    QWidget* realInputField() { return this; }
    void showKeyboard();
    void hideKeyboard();
    void clearPasswordBoxes();
    // The binding screen confirmed the recovery account.
    void passwordProtectViewControllerVerfyBindingKySuccess(ui::Screen* bindingScreen);

    QLabel* alertLabel() const { return m_alertLabel; }
    const QList<PavAlbumPasswordBox*>& passwordBoxArray() const { return m_boxes; }

    void alertViewClickedButtonAtIndex(ui::Alert* alert, int buttonIndex) override;

protected:
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void onMachineEvent(PinEntryMachine::Event event);
    void render();
    void openForgotPassword();
    void close();
    void replaceWithBindingScreen();
    void showBindingOffer();
    void showPasswordSavedAlert();

    PinEntryMachine m_machine;
    DelegateRef<PavSecretAlbumPasswordControllerDelegate> m_delegate;
    QLabel* m_alertLabel = nullptr;
    QList<PavAlbumPasswordBox*> m_boxes;
    bool m_forgotShown = false;
};
