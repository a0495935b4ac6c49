#include "albums/binding/PavSecretAlbumPasswordProtectViewController_iPad.h"

#include "Public/KyTextInput.h"
#include "Public/PavAlertView.h"
#include "Public/PavProgressView.h"
#include "albums/binding/BindingRelay.h"
#include "albums/cloud/SignInFields.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/lock/PavSecretAlbumPasswordController_iPad.h"
#include "disk/DiskLoginModel.h"
#include "albums/cloud/PavVerifyPasswordController_iPad.h"
#include "platform/core/Localization.h"
#include "platform/sys/NetworkHelper.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationStack.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>
#include <QUrl>

namespace {

using Form = RecoveryBindingForm;

QLabel* tipLabel(QWidget* parent, const QRect& frame, int pixelSize, int lines)
{
    auto* label = new QLabel(parent);
    label->setGeometry(frame);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->setWordWrap(lines > 1);
    label->setStyleSheet(QStringLiteral("background: transparent; color: #3c4046;"));
    return label;
}

}

PavSecretAlbumPasswordProtectViewController_iPad::PavSecretAlbumPasswordProtectViewController_iPad(int type,
                                                                                                   QWidget* parent)
    : PavSecretAlbumPasswordProtectViewController_iPad(type, Collaborators{}, parent)
{
}

PavSecretAlbumPasswordProtectViewController_iPad::PavSecretAlbumPasswordProtectViewController_iPad(int type,
                                                                                                   Collaborators c,
                                                                                                   QWidget* parent)
    : ui::Screen(parent),
      m_type(type),
      m_c(std::move(c)),
      m_passwords(m_c.passwords ? *m_c.passwords : PavAlbumPasswordManager::shareAlbumPasswordManager())
{
    if (!m_c.usage)
        m_c.usage = AlbumUsage::defaultRecorder();
    if (!m_c.networkKind)
        m_c.networkKind = [] { return NetworkHelper::getNetworkConnction(); };
    // Only the password is checked: the cloud disk's own sign-in (and with it
    // the cloud album's account) stays exactly as it was.
    if (!m_c.signIn) {
        m_c.signIn = [](ZEBConnectionAuthDelegate* delegate, const QString& account, const QString& password) {
            DiskLoginModel& login = DiskLoginModel::credentialCheckInstance();
            login.setDelegate(delegate);
            login.loginWithUserName(account, password);
        };
    }
    if (!m_c.makeVerifyScreen) {
        m_c.makeVerifyScreen = [](PavSecretAlbumPasswordProtectViewController_iPad* owner, const QString& account,
                                  const QString& password, const QString& imageUrl) -> ui::Screen* {
            auto* verify = new PavVerifyPasswordController_iPad(&DiskLoginModel::credentialCheckInstance());
            verify->setControllerType(1);
            verify->setUsername(account);
            verify->setPassword(password);
            verify->setVerifyImageURL(imageUrl);
            verify->setZebDelegate(owner);
            verify->setVpDelegate(owner);
            return verify;
        };
    }
    if (!m_c.openUrl)
        m_c.openUrl = [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); };
    // A recovery sign-in answered after the album locked again must not let
    // anyone set a new password: it is dropped like any stale answer.
    connect(&m_passwords, &PavAlbumPasswordManager::locked, this, [this] {
        if (m_type == Form::Recover)
            cancelVerifyPassword();
    });
}

PavSecretAlbumPasswordProtectViewController_iPad::~PavSecretAlbumPasswordProtectViewController_iPad()
{
    dismissProgressView();
    // A screen that goes away without having disappeared still hands on.
    runPopInvocation();
}

PavSecretAlbumPasswordProtectViewController_iPad*
PavSecretAlbumPasswordProtectViewController_iPad::initWithControllerType(int controllerType)
{
    return initWithControllerType(controllerType, Collaborators{});
}

PavSecretAlbumPasswordProtectViewController_iPad*
PavSecretAlbumPasswordProtectViewController_iPad::initWithControllerType(int controllerType, Collaborators collaborators)
{
    return new PavSecretAlbumPasswordProtectViewController_iPad(controllerType, std::move(collaborators));
}

void PavSecretAlbumPasswordProtectViewController_iPad::registerWithLockScreen()
{
    registerWithLockScreen(Collaborators{});
}

void PavSecretAlbumPasswordProtectViewController_iPad::registerWithLockScreen(Collaborators collaborators)
{
    PavSecretAlbumPasswordController_iPad::setBindingScreenFactory(
        [collaborators](int type, PavSecretAlbumPasswordController_iPad* lock,
                        std::function<void()> onClose) -> ui::Screen* {
            auto* screen = initWithControllerType(type, collaborators);
            if (type == Form::Recover) {
                auto* relay = new BindingRelay(screen);
                QPointer<PavSecretAlbumPasswordController_iPad> owner(lock);
                relay->onVerified = [owner](PavSecretAlbumPasswordProtectViewController_iPad* s) {
                    if (owner)
                        owner->passwordProtectViewControllerVerfyBindingKySuccess(s);
                };
                screen->setDelegate(relay);
            }
            screen->setPopInvocation(std::move(onClose));
            return screen;
        });
}

// ---- building --------------------------------------------------------------

void PavSecretAlbumPasswordProtectViewController_iPad::viewDidLoad()
{
    if (ui::NavigationStack* stack = navigationStack(); stack && stack->rootScreen() == this)
        setLeftBarButtonItem(ui::BarButtonItem{L("关闭"), QString(), [this] { closeButtonClicked(); }});
    setStyleSheet(QStringLiteral("background: #ebedf1;"));

    m_tipBackgroundImageView = new ui::ImageView(QStringLiteral("PavSecrectAlbumPasswordProtectTipBackground_iPad.png"), this);
    m_tipBackgroundImageView->setGeometry(39, 48, 460, 106);
    m_firstTip = tipLabel(m_tipBackgroundImageView, QRect(16, 14, 430, 26), 20, 1);
    m_secondTip = tipLabel(m_tipBackgroundImageView, QRect(16, 52, 430, 44), 15, 2);

    auto input = [this](int y, const char* caption, const char* placeholder) {
        auto* field = new KyTextInput(QRect(40, y, 458, 52), 110, 330, this);
        field->firstLabel()->setText(L(caption));
        QFont font = field->boldTextField()->font();
        font.setPixelSize(20);
        field->boldTextField()->setFont(font);
        field->boldTextField()->setPlaceholderText(L(placeholder));
        return field;
    };
    m_account = input(204, "Ky帐号", "请输入Ky号码");
    m_account->boldTextField()->setInputMethodHints(Qt::ImhDigitsOnly);
    m_password = input(204 + 52 + 26, "密 码", "请输入密码");
    m_password->boldTextField()->setEchoMode(QLineEdit::Password);
    m_password->boldTextField()->setClearButtonEnabled(false);
    m_account->boldTextField()->setClearButtonEnabled(true);
    m_fields = new SignInFields(m_account->boldTextField(), m_password->boldTextField(), this);
    connect(m_account->boldTextField(), &QLineEdit::returnPressed, this,
            [this] { m_account->boldTextField()->clearFocus(); });
    connect(m_password->boldTextField(), &QLineEdit::returnPressed, this, [this] {
        m_password->boldTextField()->clearFocus();
        confirmButtonClicked();
    });

    m_confirm = new ui::ImageButton(this);
    m_confirm->setGeometry(40, 204 + 2 * 52 + 26 + 20, 458, 52);
    m_confirm->setBackgroundImageNamed(QStringLiteral("syc_btn"), ui::ImageButton::Normal, QMargins(5, 5, 5, 5));
    m_confirm->setBackgroundImageNamed(QStringLiteral("MemoryView_CleanButton_bg_highlighted"),
                                       ui::ImageButton::Highlighted, QMargins(5, 5, 5, 5));
    m_confirm->setTitleColor(Qt::white);
    m_confirm->setTitleShadowColor(Qt::white);
    m_confirm->setTitleShadowOffset(QPointF(0, 1));
    QFont font = m_confirm->font();
    font.setPixelSize(22);
    m_confirm->setTitleFont(font);
    connect(m_confirm, &QAbstractButton::clicked, this, [this] { confirmButtonClicked(); });

    for (QWidget* w : {static_cast<QWidget*>(m_tipBackgroundImageView), static_cast<QWidget*>(m_firstTip),
                       static_cast<QWidget*>(m_secondTip), static_cast<QWidget*>(m_account),
                       static_cast<QWidget*>(m_password), static_cast<QWidget*>(m_confirm)})
        w->show();
    initViewWithType();
    m_passwords.binding().initBinding();
}

void PavSecretAlbumPasswordProtectViewController_iPad::initViewWithType()
{
    const QString bound = m_passwords.binding().getBinding();
    const Form::Texts t = Form::texts(m_type, bound);
    setTitle(t.title);
    m_firstTip->setText(t.firstTip);
    m_secondTip->setText(t.secondTip);
    m_confirm->setTitle(t.button);
    if (!t.accountEditable) {
        m_account->boldTextField()->setText(bound);
        m_account->boldTextField()->setEnabled(false);
        m_account->boldTextField()->setClearButtonEnabled(false);
    }
    m_fields->takeTexts();
    if (t.skipButton)
        setRightBarButtonItem(ui::BarButtonItem{L("跳过"), QString(), [this] { passButtonClicked(); }});
    if (m_type != Form::Recover && m_c.usage)
        m_c.usage(kOpenBindingEvent);
}

// ---- signing in ----------------------------------------------------------------

void PavSecretAlbumPasswordProtectViewController_iPad::showTip(const QString& title, const QString& message,
                                                               const QString& button, SignInFields::Field toCorrect)
{
    auto* alert = new PavAlertView(title, message, nullptr, button);
    m_fields->focusWhenAnswered(alert, toCorrect);
    alert->show();
}

void PavSecretAlbumPasswordProtectViewController_iPad::confirmButtonClicked()
{
    if (m_signingIn)
        return;  // one sign-in at a time
    const QString account = m_account->boldTextField()->text();
    const QString password = m_password->boldTextField()->text();
    bool accountAtFault = false;
    const QString refusal = Form::checkInputs(m_c.networkKind(), account, password, &accountAtFault);
    if (!refusal.isNull()) {
        showTip(L("提示"), refusal, L("知道了"),
                accountAtFault ? SignInFields::Field::Account : SignInFields::Field::Password);
        return;
    }
    m_signingIn = true;
    showProgressView();
    // The sign-in starts a moment later, from a timer that dies with the screen.
    QTimer::singleShot(kSignInDelayMs, this, [this, account, password] { m_c.signIn(this, account, password); });
}

int PavSecretAlbumPasswordProtectViewController_iPad::loginResult(bool result, int tag)
{
    if (!m_signingIn)
        return 0;  // no sign-in of this screen is waiting
    m_signingIn = false;
    dismissProgressView();
    const QString account = m_account->boldTextField()->text();
    const Form::Outcome o = Form::outcome(m_type, result, tag, account);
    if (o.store == Form::Outcome::Store::Bind)
        m_passwords.binding().setBinding(account);
    else if (o.store == Form::Outcome::Store::Unbind)
        m_passwords.binding().removeBinding();
    if (!o.alertMessage.isEmpty()) {
        QStringList others;
        if (!o.alertOtherButton.isEmpty())
            others << o.alertOtherButton;
        auto* alert = new PavAlertView(o.alertTitle, o.alertMessage, o.alertTag ? this : nullptr, o.alertButton, others);
        alert->setTag(o.alertTag);
        if (!o.succeeded)
            m_fields->focusWhenAnswered(alert, SignInFields::Field::Password);
        alert->show();
    }
    if (!o.succeeded)
        return 0;
    if (auto* d = m_delegate.get()) {
        if (m_type == Form::Recover) {
            d->passwordProtectViewControllerVerfyBindingKySuccess(this);
        } else if (m_type == Form::ShowBinding) {
            d->passwordProtectViewControllerDidUnBindKy(this, account);
        } else {
            d->passwordProtectViewControllerDidBindKy(this, account);
            if (m_c.usage)
                m_c.usage(kBoundEvent);
        }
        return 0;
    }
    leave();
    return 0;
}

void PavSecretAlbumPasswordProtectViewController_iPad::loginNeedVerfy(const QString& imageUrl, bool)
{
    if (!m_signingIn)
        return;
    // The code screen shows the same overlay while it signs in again; it
    // stays this sign-in's to remove, whatever the result or a cancel.
    PavProgressView::dismiss();
    // The verification screen signs in again and reports here.
    ui::Screen* verify = m_c.makeVerifyScreen(this, m_account->boldTextField()->text(),
                                              m_password->boldTextField()->text(), imageUrl);
    ui::NavigationStack* stack = navigationStack();
    if (verify && stack) {
        stack->push(verify, true);
    } else {
        m_signingIn = false;
        dismissProgressView();
    }
}

void PavSecretAlbumPasswordProtectViewController_iPad::cancelVerifyPassword()
{
    m_signingIn = false;
    dismissProgressView();
}

void PavSecretAlbumPasswordProtectViewController_iPad::showProgressView()
{
    m_progressShown = true;
    PavProgressView::showWithString(QString(), true);
}

void PavSecretAlbumPasswordProtectViewController_iPad::dismissProgressView()
{
    if (!m_progressShown)
        return;
    m_progressShown = false;
    PavProgressView::dismiss();
}

void PavSecretAlbumPasswordProtectViewController_iPad::alertViewClickedButtonAtIndex(ui::Alert* alert, int buttonIndex)
{
    if (alert->tag() != Form::kWrongPasswordTag)
        return;
    if (buttonIndex == alert->cancelButtonIndex()) {
        m_c.openUrl(Form::lostPasswordUrl());
        return;
    }
    m_fields->clearPassword();
}

// ---- leaving --------------------------------------------------------------------

void PavSecretAlbumPasswordProtectViewController_iPad::leave()
{
    // Back to the screen below, the code screen on top included; only a
    // binding screen that is its sheet's first screen closes the sheet.
    ui::NavigationStack* stack = navigationStack();
    if (ui::Screen* below = stack ? stack->screenBelow(this) : nullptr)
        stack->popToScreen(below, true);
    else
        dismissModal(true);
}

void PavSecretAlbumPasswordProtectViewController_iPad::passButtonClicked()
{
    if (auto* d = m_delegate.get(); d && d->passwordProtectViewControllerDidCancelBindingKy(this))
        return;
    leave();
}

void PavSecretAlbumPasswordProtectViewController_iPad::closeButtonClicked()
{
    dismissModal(true);
}

void PavSecretAlbumPasswordProtectViewController_iPad::pullDownView()
{
    if (!m_account)
        return;
    m_account->boldTextField()->clearFocus();
    m_password->boldTextField()->clearFocus();
}

void PavSecretAlbumPasswordProtectViewController_iPad::mousePressEvent(QMouseEvent* event)
{
    pullDownView();
    ui::Screen::mousePressEvent(event);
}

void PavSecretAlbumPasswordProtectViewController_iPad::viewDidDisappear(bool)
{
    ui::NavigationStack* stack = navigationStack();
    if (!stack || stack->count() <= 1 || !stack->screens().contains(this))
        runPopInvocation();
}

void PavSecretAlbumPasswordProtectViewController_iPad::runPopInvocation()
{
    if (!m_popInvocation)
        return;
    std::function<void()> invocation = std::move(m_popInvocation);
    m_popInvocation = nullptr;
    invocation();
}
