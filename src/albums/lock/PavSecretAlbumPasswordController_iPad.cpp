#include "albums/lock/PavSecretAlbumPasswordController_iPad.h"

#include "albums/lock/PavAlbumPasswordBox.h"
#include "Public/PavAlertView.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "platform/core/Localization.h"
#include "platform/ui/NavigationStack.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QTimer>

namespace {
PavSecretAlbumPasswordController_iPad::BindingScreenFactory& bindingFactory()
{
    static PavSecretAlbumPasswordController_iPad::BindingScreenFactory factory;
    return factory;
}

constexpr int kSubmitDelayMs = 300;
constexpr int kBoxesY = 100;
constexpr int kFirstBoxX = 109;
}

PavSecretAlbumPasswordController_iPad::PavSecretAlbumPasswordController_iPad(int type, QWidget* parent)
    : PavSecretAlbumPasswordController_iPad(type, PavAlbumPasswordManager::shareAlbumPasswordManager(),
                                            AlbumUsage::defaultRecorder(), parent)
{
}

PavSecretAlbumPasswordController_iPad* PavSecretAlbumPasswordController_iPad::initWithType(int type, QWidget* parent)
{
    return new PavSecretAlbumPasswordController_iPad(type, parent);
}

PavSecretAlbumPasswordController_iPad* PavSecretAlbumPasswordController_iPad::initWithType(
    int type, PavAlbumPasswordManager& manager, AlbumUsage::Recorder usage, QWidget* parent)
{
    return new PavSecretAlbumPasswordController_iPad(type, manager, std::move(usage), parent);
}

PavSecretAlbumPasswordController_iPad::PavSecretAlbumPasswordController_iPad(int type, PavAlbumPasswordManager& manager,
                                                                             AlbumUsage::Recorder usage, QWidget* parent)
    : ui::Screen(parent),
      m_machine(type, manager, [this](PinEntryMachine::Event e) { onMachineEvent(e); }, std::move(usage))
{
    setFocusPolicy(Qt::StrongFocus);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(235, 237, 241));
    setPalette(palette);
    setAutoFillBackground(true);
    // Every re-lock of the album sends this screen back to its first state.
    connect(&manager, &PavAlbumPasswordManager::locked, this, [this] { m_machine.relock(); });
}

PavSecretAlbumPasswordController_iPad::~PavSecretAlbumPasswordController_iPad() = default;

void PavSecretAlbumPasswordController_iPad::setBindingScreenFactory(BindingScreenFactory factory)
{
    bindingFactory() = std::move(factory);
}

void PavSecretAlbumPasswordController_iPad::viewDidLoad()
{
    m_alertLabel = new QLabel(this);
    m_alertLabel->setGeometry(0, 234, 538, 26);
    m_alertLabel->setAlignment(Qt::AlignCenter);
    m_alertLabel->setStyleSheet("background: transparent; color: red;");
    QFont font = m_alertLabel->font();
    font.setPixelSize(24);
    m_alertLabel->setFont(font);
    m_alertLabel->hide();

    for (int i = 0; i < PinEntryMachine::kDigits; ++i) {
        auto* box = new PavAlbumPasswordBox(QRect(kFirstBoxX + i * PavAlbumPasswordBox::kSide, kBoxesY, 0, 0), this);
        box->show();
        m_boxes.append(box);
    }

    ui::NavigationStack* stack = navigationStack();
    if (stack && stack->rootScreen() == this)
        setLeftBarButtonItem(ui::BarButtonItem{L("关闭"), QString(), [this] { close(); }});
    m_forgotShown = !m_machine.showsForgotButton();   // forces the first render of the button
    render();
    showKeyboard();
}

void PavSecretAlbumPasswordController_iPad::viewDidAppear(bool)
{
    // Focus given to the sheet's stack comes to this screen while it is on top.
    if (ui::NavigationStack* stack = navigationStack(); stack && stack->topScreen() == this)
        stack->setFocusProxy(this);
    showKeyboard();
}

void PavSecretAlbumPasswordController_iPad::viewWillDisappear(bool)
{
    if (ui::NavigationStack* stack = navigationStack(); stack && stack->focusProxy() == this)
        stack->setFocusProxy(nullptr);
}

void PavSecretAlbumPasswordController_iPad::showKeyboard()
{
    realInputField()->setFocus(Qt::OtherFocusReason);
}

void PavSecretAlbumPasswordController_iPad::hideKeyboard()
{
    realInputField()->clearFocus();
}

void PavSecretAlbumPasswordController_iPad::clearPasswordBoxes()
{
    m_machine.clear();
}

void PavSecretAlbumPasswordController_iPad::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Backspace) {
        m_machine.deleteBackward();
        event->accept();
        return;
    }
    // Exactly one digit per key; shortcuts such as a paste carry no digit.
    if (!event->text().isEmpty()) {
        m_machine.inputText(event->text());
        event->accept();
        return;
    }
    ui::Screen::keyPressEvent(event);
}

void PavSecretAlbumPasswordController_iPad::render()
{
    if (!isViewLoaded() || !m_alertLabel)
        return;
    setTitle(L(m_machine.title()));
    const QString message = m_machine.message();
    m_alertLabel->setText(L(message));
    m_alertLabel->setVisible(!message.isEmpty());
    for (int i = 0; i < m_boxes.size(); ++i)
        m_boxes[i]->setText(i < m_machine.filledCount() ? QString("*") : QString());
    if (m_machine.showsForgotButton() != m_forgotShown) {
        m_forgotShown = m_machine.showsForgotButton();
        if (m_forgotShown)
            setRightBarButtonItem(ui::BarButtonItem{L("忘记密码"), QString(), [this] { openForgotPassword(); }});
        else
            setRightBarButtonItem(std::nullopt);
    }
}

void PavSecretAlbumPasswordController_iPad::onMachineEvent(PinEntryMachine::Event event)
{
    using E = PinEntryMachine::Event;
    switch (event) {
    case E::Changed:
        render();
        break;
    case E::SubmitScheduled:
        // The fourth box is drawn filled first; the single-shot timer dies with
        // the screen, and the machine ignores keys meanwhile.
        QTimer::singleShot(kSubmitDelayMs, this, [this] { m_machine.submit(); });
        break;
    case E::PassedVerification:
        if (auto* d = m_delegate.get())
            d->secretAlbumPasswordControllerDidPassVerification(this);
        break;
    case E::DidSetPassword:
        if (auto* d = m_delegate.get())
            d->secretAlbumPasswordControllerDidSetPassword(this);
        break;
    case E::OfferBinding:
        showBindingOffer();
        break;
    case E::ReplaceWithBinding:
        replaceWithBindingScreen();
        break;
    case E::PasswordSaved:
        showPasswordSavedAlert();
        break;
    }
}

void PavSecretAlbumPasswordController_iPad::replaceWithBindingScreen()
{
    // The completion holds weak references only: this screen is gone by the
    // time the binding screen closes, and the delegate may be too.
    DelegateRef<PavSecretAlbumPasswordControllerDelegate> delegate = m_delegate;
    QPointer<PavSecretAlbumPasswordController_iPad> self(this);
    std::function<void()> completion;
    if (delegate) {
        completion = [delegate, self] {
            if (auto* d = delegate.get())
                d->secretAlbumPasswordControllerDidSetPassword(self.data());
        };
    }
    const BindingScreenFactory& factory = bindingFactory();
    ui::NavigationStack* stack = navigationStack();
    ui::Screen* binding = (factory && stack) ? factory(kBindingAfterSetType, this, completion) : nullptr;
    if (!binding) {
        if (completion)
            completion();
        return;
    }
    stack->replaceTop(binding, true);
}

void PavSecretAlbumPasswordController_iPad::openForgotPassword()
{
    const BindingScreenFactory& factory = bindingFactory();
    ui::NavigationStack* stack = navigationStack();
    if (!factory || !stack)
        return;
    if (ui::Screen* binding = factory(kBindingRecoveryType, this, {}))
        stack->push(binding, true);
}

void PavSecretAlbumPasswordController_iPad::passwordProtectViewControllerVerfyBindingKySuccess(ui::Screen* bindingScreen)
{
    // Back to this screen, the code screen above the binding screen included.
    ui::NavigationStack* stack = navigationStack();
    if (stack && bindingScreen && stack->screens().contains(bindingScreen))
        stack->popToScreen(this, true);
    m_machine.recoveryVerified();
}

void PavSecretAlbumPasswordController_iPad::close()
{
    ui::NavigationStack* stack = navigationStack();
    if (!stack || stack->rootScreen() != this)
        return;
    if (auto* d = m_delegate.get())
        d->secretAlbumPasswordControllerWillClose(this);
    dismissModal(true);
}

void PavSecretAlbumPasswordController_iPad::showBindingOffer()
{
    auto* alert = new PavAlertView(QString(), L("遗忘密码将无法进入隐私相册强烈建议绑定Ky，忘记密码时可通过Ky找回密码。"), this,
                                   L("以后再说"), {L("立即设置")});
    alert->setTag(kBindingOfferTag);
    alert->show();
}

void PavSecretAlbumPasswordController_iPad::showPasswordSavedAlert()
{
    auto* alert = new PavAlertView(QString(),
                                   L("密码设置成功，请牢记你的密码！\n【注意】若卸载PadOlvo，隐私相册会被清空！"
                                     "请你务必在卸载前，将隐私相册中的照片移出到系统相册。"),
                                   nullptr, L("知道了"));
    alert->show();
}

void PavSecretAlbumPasswordController_iPad::alertViewClickedButtonAtIndex(ui::Alert* alert, int buttonIndex)
{
    if (alert->tag() == kBindingOfferTag)
        m_machine.answerBindingOffer(buttonIndex != alert->cancelButtonIndex());
}
