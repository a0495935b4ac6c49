#include "albums/cloud/PavCloudAlbumLoginViewController_iPad.h"

#include "Public/KyTextInput.h"
#include "Public/KyUICheckBoxButton.h"
#include "Public/PavAlertView.h"
#include "Public/PavProgressView.h"
#include "albums/cloud/CloudLoginInputRules.h"
#include "albums/cloud/SignInFields.h"
#include "disk/DiskLoginModel.h"
#include "disk/DiskManager.h"
#include "disk/PavCloudAlbumManager.h"
#include "disk/PavDiskUserInfoManager.h"
#include "albums/cloud/PavVerifyPasswordController_iPad.h"
#include "platform/core/Localization.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/NavigationStack.h"

#include <QLabel>
#include <QLineEdit>

namespace {

const QString kYes = QStringLiteral("YES");
const QString kNo = QStringLiteral("NO");

}

PavCloudAlbumLoginViewController_iPad::PavCloudAlbumLoginViewController_iPad(QWidget* parent)
    : PavCloudAlbumLoginViewController_iPad(Services{}, parent)
{
}

PavCloudAlbumLoginViewController_iPad::PavCloudAlbumLoginViewController_iPad(Services services, QWidget* parent)
    : ui::Screen(parent),
      m_login(services.login ? *services.login : DiskLoginModel::sharedInstance()),
      m_disk(services.disk ? *services.disk : DiskManager::shareDiskManager()),
      m_saved(services.savedAccount ? *services.savedAccount : PavDiskUserInfoManager::sharePavDiskUserInfoManager()),
      m_album(services.album ? *services.album : PavCloudAlbumManager::sharePavCloudAlbumManager()),
      m_usage(services.usage ? std::move(services.usage) : AlbumUsage::defaultRecorder())
{
}

PavCloudAlbumLoginViewController_iPad::~PavCloudAlbumLoginViewController_iPad()
{
    if (m_login.delegate() == static_cast<ZEBConnectionAuthDelegate*>(this))
        m_login.setDelegate(nullptr);
}

// ---- form ----

void PavCloudAlbumLoginViewController_iPad::viewDidLoad()
{
    setTitle(L("请登录Ky"));
    if (ui::NavigationStack* stack = navigationStack(); stack && stack->rootScreen() == this)
        setLeftBarButtonItem(ui::BarButtonItem{L("关闭"), QString(), [this] { closeButtonClicked(); }});
    setStyleSheet(QStringLiteral("background: #f2f2f2;"));
    buildForm();
}

void PavCloudAlbumLoginViewController_iPad::buildForm()
{
    auto input = [this](int y, const char* label, const char* placeholder) {
        auto* field = new KyTextInput(QRect(40, y, 460, 52), 125, 320, this);
        field->firstLabel()->setText(L(label));
        field->boldTextField()->setPlaceholderText(L(placeholder));
        return field;
    };
    m_nameField = input(25, "Ky帐号", "请输入Ky号码");
    m_nameField->setFieldFontSize(20);
    m_nameField->boldTextField()->setInputMethodHints(Qt::ImhDigitsOnly);
    m_passwordField = input(92, "密 码", "请输入密码");
    m_passwordField->boldTextField()->setEchoMode(QLineEdit::Password);
    m_fields = new SignInFields(m_nameField->boldTextField(), m_passwordField->boldTextField(), this);
    connect(m_nameField->boldTextField(), &QLineEdit::returnPressed, this,
            [this] { m_nameField->boldTextField()->clearFocus(); });
    connect(m_passwordField->boldTextField(), &QLineEdit::returnPressed, this, [this] {
        m_passwordField->boldTextField()->clearFocus();
        kyLoginButtonClicked();
    });

    m_loginButton = new ui::ImageButton(this);
    m_loginButton->setGeometry(43, 170, 456, 52);
    m_loginButton->setBackgroundImageNamed(QStringLiteral("syc_btn"), ui::ImageButton::Normal, QMargins(5, 5, 5, 5));
    m_loginButton->setBackgroundImageNamed(QStringLiteral("MemoryView_CleanButton_bg_highlighted"),
                                           ui::ImageButton::Highlighted, QMargins(5, 5, 5, 5));
    m_loginButton->setTitle(L("登　录"));
    m_loginButton->setTitleColor(Qt::white);
    m_loginButton->setTitleShadowColor(QColor(0, 0, 0, 90));
    m_loginButton->setTitleShadowOffset(QPointF(0, 1));
    QFont font = m_loginButton->font();
    font.setPixelSize(22);
    m_loginButton->setTitleFont(font);
    connect(m_loginButton, &QAbstractButton::clicked, this, [this] { kyLoginButtonClicked(); });

    m_autoLoginButton = new KyUICheckBoxButton(this);
    m_autoLoginButton->setGeometry(40, 236, 50, 50);
    connect(m_autoLoginButton, &KyUICheckBoxButton::onChanged, this, [this](bool) { kyAutoLoginButtonClicked(); });
    auto* autoLabel = new QLabel(L("自动登录"), this);
    autoLabel->setGeometry(92, 236, 120, 50);
    autoLabel->setStyleSheet(QStringLiteral("color: #333; font-size: 18px; background: transparent;"));
    // The view may load while already on screen: its new children must be shown.
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        child->show();
}

void PavCloudAlbumLoginViewController_iPad::viewWillAppear(bool animated)
{
    ui::Screen::viewWillAppear(animated);
    m_nameField->boldTextField()->setText(m_saved.uin());
    m_passwordField->boldTextField()->setText(m_saved.savePassword() == kYes ? m_saved.password() : QString());
    m_fields->takeTexts();
    const QSignalBlocker block(m_autoLoginButton);
    m_autoLoginButton->setOn(m_saved.autoLogin() == kYes);
}

void PavCloudAlbumLoginViewController_iPad::viewDidAppear(bool animated)
{
    ui::Screen::viewDidAppear(animated);
    if (m_autoLoginButton->on() && !m_isVerifyPassword && !m_nameField->boldTextField()->text().isEmpty()
        && !m_passwordField->boldTextField()->text().isEmpty() && m_step == Step::Idle)
        kyLoginButtonClicked();
}

void PavCloudAlbumLoginViewController_iPad::kyAutoLoginButtonClicked()
{
    const QString value = m_autoLoginButton->on() ? kYes : kNo;
    m_saved.setAutoLogin(value);
    m_saved.setSavePassword(value);
    m_saved.saveLoginInfoToDisk();
}

void PavCloudAlbumLoginViewController_iPad::closeButtonClicked()
{
    m_step = Step::Done;
    removeProgressView();
    PavCloudAlbumLoginDelegate* delegate = m_delegate.get();
    dismissModal(true);
    if (delegate)
        delegate->cloudAlbumLoginCancel();
}

QString PavCloudAlbumLoginViewController_iPad::passwordToSave() const
{
    return m_saved.savePassword() == kYes ? m_typedPassword : QString("");
}

void PavCloudAlbumLoginViewController_iPad::addProgressView()
{
    PavProgressView::showWithString(L("登录中..."), true);
}

void PavCloudAlbumLoginViewController_iPad::removeProgressView()
{
    PavProgressView::dismiss();
}

PavAlertView* PavCloudAlbumLoginViewController_iPad::showAlert(const QString& title, const QString& message)
{
    auto* alert = new PavAlertView(title, message, nullptr, L("确定"));
    alert->show();
    return alert;
}

void PavCloudAlbumLoginViewController_iPad::showFailure(const QString& title, const QString& message)
{
    m_fields->focusWhenAnswered(showAlert(title, message), SignInFields::Field::Password);
}

// ---- signing in ----

void PavCloudAlbumLoginViewController_iPad::kyLoginButtonClicked()
{
    loadViewIfNeeded();
    if (m_step != Step::Idle)
        return;
    if (m_usage)
        m_usage(kUsageSignIn);
    const QString account = m_nameField->boldTextField()->text();
    const QString password = m_passwordField->boldTextField()->text();
    if (!CloudLoginInputRules::passwordLengthValid(password)) {
        showFailure(L("验证帐号提醒"), L("输入密码有误,请重新输入"));
        return;
    }
    m_typedPassword = password;
    m_saved.setUin(account);
    m_saved.setPassword(passwordToSave());
    m_saved.saveLoginInfoToDisk();
    addProgressView();
    m_step = Step::SigningIn;
    m_login.setDelegate(this);
    m_login.loginWithUserName(account, password, QString());
}

int PavCloudAlbumLoginViewController_iPad::loginResult(bool result, int tag)
{
    if (!waitingFor(Step::SigningIn) && !waitingFor(Step::Verifying))
        return 0;
    if (result) {
        m_saved.setUin(m_nameField->boldTextField()->text());
        m_saved.setPassword(passwordToSave());
        m_step = Step::ReadingAccount;
        m_disk.requestQueryUser(this);
        return 0;
    }
    m_step = Step::Idle;
    removeProgressView();
    switch (tag) {
    case DiskLoginModel::kTagWrongPassword:
        m_saved.setPassword(QString(""));
        m_fields->clearPassword();
        m_saved.saveLoginInfoToDisk();
        showFailure(L("登录密码错误"), L("请检查你输入的密码"));
        break;
    case DiskLoginModel::kTagNoNetwork:
        showFailure(L("当前网络不可用"), L("请检查你的网络设置"));
        break;
    case DiskLoginModel::kTagTransport:
        showFailure(L("未知网络错误"), L("请求登录超时"));
        break;
    default:
        showFailure(L("抱歉"), L("未知错误"));
        break;
    }
    return 0;
}

void PavCloudAlbumLoginViewController_iPad::loginNeedVerfy(const QString& imageUrl, bool fault)
{
    Q_UNUSED(fault);
    if (!waitingFor(Step::SigningIn))
        return;
    removeProgressView();
    m_step = Step::Verifying;
    auto* verify = new PavVerifyPasswordController_iPad(&m_login);
    verify->setControllerType(1);
    verify->setUsername(m_saved.uin());
    // The typed password: the saved one is empty when passwords are not kept.
    verify->setPassword(m_typedPassword);
    verify->setVerifyImageURL(imageUrl);
    verify->setZebDelegate(this);
    verify->setVpDelegate(this);
    if (ui::NavigationStack* stack = navigationStack())
        stack->push(verify, true);
    else
        delete verify;
    m_isVerifyPassword = true;
}

void PavCloudAlbumLoginViewController_iPad::cancelVerifyPassword()
{
    if (waitingFor(Step::Verifying))
        m_step = Step::Idle;
    removeProgressView();
}

// ---- the account and its album folder ----

void PavCloudAlbumLoginViewController_iPad::listDir(const DiskDirPtr& dir)
{
    m_step = Step::ListingRoot;
    m_pendingDir = dir;
    m_disk.requestQueryDir(dir, this);
}

void PavCloudAlbumLoginViewController_iPad::fileDidQueryUserUserInfo(const DiskUserPtr& user)
{
    if (waitingFor(Step::ReadingAccount) && user)
        listDir(user->root_dir());
}

void PavCloudAlbumLoginViewController_iPad::fileDidQueryUserNeedPassword(const DiskUserPtr& user)
{
    fileDidQueryUserUserInfo(user);
}

void PavCloudAlbumLoginViewController_iPad::fileDidQueryPasswordFail(const DiskUserPtr& user, const DiskError* error)
{
    Q_UNUSED(error);
    fileDidQueryUserUserInfo(user);
}

void PavCloudAlbumLoginViewController_iPad::fileDidQueryUserUserInfoFail(const DiskUserPtr& user,
                                                                         const DiskError& error)
{
    Q_UNUSED(user);
    Q_UNUSED(error);
    if (!waitingFor(Step::ReadingAccount))
        return;
    m_step = Step::Idle;
    removeProgressView();
}

void PavCloudAlbumLoginViewController_iPad::fileDidQueryDirListRootDir(const DiskDirPtr& dir,
                                                                       const QList<DiskFilePtr>& files,
                                                                       const QList<DiskDirPtr>& dirs)
{
    Q_UNUSED(files);
    if (!waitingFor(Step::ListingRoot) || dir != m_pendingDir)
        return;
    const DiskUserPtr user = m_disk.current_user();
    if (!dirs.isEmpty() && user && user->root_dir() && !user->root_dir()->dir_father()) {
        const DiskDirPtr root = dirs.first();
        user->setRoot_dir(root);
        user->setRoot_key(root->dir_key());
        kyDidLogin(root);
        return;
    }
    for (const DiskDirPtr& candidate : dirs) {
        if (candidate->dir_name() == QString::fromUtf8(PavCloudAlbumManager::kCloudAlbumName)) {
            albumFolderReady(candidate);
            return;
        }
    }
    m_step = Step::MakingFolder;
    m_pendingDir.reset();
    m_disk.requestMakeDir(QString::fromUtf8(PavCloudAlbumManager::kCloudAlbumName), dir, this);
}

void PavCloudAlbumLoginViewController_iPad::kyDidLogin(const DiskDirPtr& root)
{
    listDir(root);
    m_saved.setKyDiskUsedLabel(m_nameField->boldTextField()->text());
    if (m_saved.savePassword() == kNo)
        m_fields->clearPassword();
}

void PavCloudAlbumLoginViewController_iPad::fileDidQueryDirListSuccess(const DiskDirPtr& dir,
                                                                       const QList<DiskFilePtr>& files,
                                                                       const QList<DiskDirPtr>& dirs)
{
    Q_UNUSED(files);
    Q_UNUSED(dirs);
    // The awaited folder is no longer the account's root (another sign-in
    // changed the account meanwhile): end the attempt rather than wait.
    fileDidQueryDirListFail(dir, QString());
}

void PavCloudAlbumLoginViewController_iPad::fileDidQueryDirListFail(const DiskDirPtr& dir, const QString& message)
{
    Q_UNUSED(message);
    if (!waitingFor(Step::ListingRoot) || dir != m_pendingDir)
        return;
    m_step = Step::Idle;
    m_pendingDir.reset();
    removeProgressView();
}

void PavCloudAlbumLoginViewController_iPad::fileMakeDirSuccess(const DiskDirPtr& dir)
{
    if (!waitingFor(Step::MakingFolder))
        return;
    showAlert(L("创建云端相册成功"),
              L("1. 你可以使用手机在PadOlvo的云端相册中查看备份照片。\n"
                "2. 你可以使用电脑登录Ky客户端，打开Tarnel，点击“Ky网盘--云端相册”，查看备份照片。"));
    albumFolderReady(dir);
}

void PavCloudAlbumLoginViewController_iPad::fileMakeDirFailWithErrorCode(const DiskError& error)
{
    Q_UNUSED(error);
    if (!waitingFor(Step::MakingFolder))
        return;
    m_step = Step::Idle;
    showAlert(L("抱歉"), L("创建云端相册失败！"));
    removeProgressView();
}

void PavCloudAlbumLoginViewController_iPad::albumFolderReady(const DiskDirPtr& dir)
{
    m_step = Step::Done;
    m_pendingDir.reset();
    m_album.setCloudAlbumDir(dir);
    m_album.setIsLogined(true);
    removeProgressView();
    PavCloudAlbumLoginDelegate* delegate = m_delegate.get();
    if (m_usage)
        m_usage(kUsageFolderReady);
    if (delegate)
        delegate->cloudAlbumLoginSuccess();
    dismissModal(true);
}
