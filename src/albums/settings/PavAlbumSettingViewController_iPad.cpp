#include "albums/settings/PavAlbumSettingViewController_iPad.h"

#include "Public/PaviPadTableViewCell.h"
#include "albums/binding/BindingRelay.h"
#include "albums/binding/PavSecretAlbumPasswordProtectViewController_iPad.h"
#include "albums/cloud/CloudAlbumSession.h"
#include "albums/cloud/PavCloudAlbumLoginViewController_iPad.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/lock/PavSecretAlbumPasswordController_iPad.h"
#include "albums/settings/AlbumSettingAccountView.h"
#include "albums/store/PavPhotoManager.h"
#include "disk/DiskManager.h"
#include "disk/PavCloudAlbumManager.h"
#include "disk/PavDiskUserInfoManager.h"
#include "platform/core/Localization.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationStack.h"
#include "platform/ui/ShadowLabel.h"

namespace {

PavAlbumSettingViewController_iPad::Collaborators withDefaults(PavAlbumSettingViewController_iPad::Collaborators c)
{
    if (!c.hasPassword)
        c.hasPassword = [] { return PavAlbumPasswordManager::existPassword(); };
    if (!c.binding)
        c.binding = [] { return PavAlbumPasswordManager::getBinding(); };
    if (!c.hasVerified)
        c.hasVerified = [] { return PavAlbumPasswordManager::shareAlbumPasswordManager().hasVerified(); };
    if (!c.cloud)
        c.cloud = &PavCloudAlbumManager::sharePavCloudAlbumManager();
    if (!c.currentUser)
        c.currentUser = [] { return DiskManager::shareDiskManager().current_user(); };
    if (!c.savedAccount)
        c.savedAccount = &PavDiskUserInfoManager::sharePavDiskUserInfoManager();
    if (!c.privateAlbumChanged)
        c.privateAlbumChanged = [] { PavPhotoManager::sharedPavPhotoManager().setIsUpdated(true); };
    if (!c.makeBindingScreen) {
        c.makeBindingScreen = [](int type, PavAlbumSettingViewController_iPad* settings) -> ui::Screen* {
            auto* screen = PavSecretAlbumPasswordProtectViewController_iPad::initWithControllerType(type);
            auto* relay = new BindingRelay(screen);
            QPointer<PavAlbumSettingViewController_iPad> owner(settings);
            relay->onBound = [owner](PavSecretAlbumPasswordProtectViewController_iPad* s) {
                if (owner)
                    owner->passwordProtectViewControllerDidBindKy(s);
            };
            relay->onUnbound = [owner](PavSecretAlbumPasswordProtectViewController_iPad* s) {
                if (owner)
                    owner->passwordProtectViewControllerDidUnBindKy(s);
            };
            screen->setDelegate(relay);
            return screen;
        };
    }
    if (!c.makeLockScreen) {
        c.makeLockScreen = [](int type, bool showFirstGuide, PavSecretAlbumPasswordControllerDelegate* delegate) {
            auto* lock = PavSecretAlbumPasswordController_iPad::initWithType(type);
            lock->setShowFirstGuide(showFirstGuide);
            lock->setDelegate(delegate);
            return static_cast<ui::Screen*>(lock);
        };
    }
    if (!c.makeCloudLogin) {
        c.makeCloudLogin = [](PavCloudAlbumLoginDelegate* delegate) {
            auto* login = new PavCloudAlbumLoginViewController_iPad;
            login->setDelegate(delegate);
            return static_cast<ui::Screen*>(login);
        };
    }
    if (!c.usage)
        c.usage = AlbumUsage::defaultRecorder();
    if (!c.center)
        c.center = &NotificationCenter::defaultCenter();
    return c;
}

constexpr int kLockChange = 0;
constexpr int kLockEnter = 1;
constexpr int kLockFirst = 3;
constexpr int kBindingBind = 1;
constexpr int kBindingShow = 2;

}

PavAlbumSettingViewController_iPad::PavAlbumSettingViewController_iPad(QWidget* parent)
    : PavAlbumSettingViewController_iPad(Collaborators(), parent)
{
}

PavAlbumSettingViewController_iPad::PavAlbumSettingViewController_iPad(Collaborators collaborators, QWidget* parent)
    : ui::Screen(parent), m_c(withDefaults(std::move(collaborators)))
{
}

PavAlbumSettingViewController_iPad::~PavAlbumSettingViewController_iPad() = default;

void PavAlbumSettingViewController_iPad::recordUsage(int eventId)
{
    if (eventId && m_c.usage)
        m_c.usage(eventId);
}

AlbumSettingRows PavAlbumSettingViewController_iPad::rows() const
{
    AlbumSettingRows::State s;
    s.hasPassword = m_c.hasPassword();
    s.binding = s.hasPassword ? m_c.binding() : QString();
    s.isLogined = m_c.cloud->isLogined();
    s.hasVerified = m_c.hasVerified();
    return AlbumSettingRows(s);
}

void PavAlbumSettingViewController_iPad::viewDidLoad()
{
    setTitle(L("相册设置"));
    setLeftBarButtonItem(ui::BarButtonItem{L("关闭"), QString(), [this] { closeButtonClicked(); }});
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(213, 216, 222));
    setPalette(p);
    m_table = new QWidget(this);
    m_table->setGeometry(rect());
    m_table->show();
    m_userInfoView = new AlbumSettingAccountView;
    connect(m_userInfoView, &AlbumSettingAccountView::logoutClicked, this,
            &PavAlbumSettingViewController_iPad::logoutButtonClicked);
}

void PavAlbumSettingViewController_iPad::viewWillAppear(bool)
{
    reloadData();
}

void PavAlbumSettingViewController_iPad::resizeEvent(QResizeEvent*)
{
    // The table fills the view, whatever size the sheet gives it.
    if (m_table)
        m_table->setGeometry(rect());
}

QWidget* PavAlbumSettingViewController_iPad::makeHeader(const QString& title, int width)
{
    auto* header = new QWidget(m_table);
    header->resize(width, AlbumSettingRows::kHeaderHeight);
    auto* label = new ui::ShadowLabel(title, header);
    label->setGeometry(55, 10, 400, 20);
    label->setFontSize(17, true);
    label->setTextColor(QColor(74, 87, 108));
    label->setShadow(Qt::white, QPointF(0, 1));
    return header;
}

void PavAlbumSettingViewController_iPad::reloadData()
{
    if (!m_table)
        return;
    refreshAmount();
    // The account panel survives the rebuild of the rows.
    m_userInfoView->setParent(nullptr);
    for (QWidget* child : m_table->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        delete child;
    for (PaviPadTableViewCell*& cell : m_cells)
        cell = nullptr;

    const AlbumSettingRows r = rows();
    int y = kContentInsetTop;
    for (int section = 0; section < AlbumSettingRows::kSectionCount; ++section) {
        if (r.headerHeight(section) > 0) {
            QWidget* header = makeHeader(r.headerTitle(section), ui::kFormSheetSize.width());
            header->move(0, y);
            header->show();
            y += r.headerHeight(section);
        }
        if (r.numberOfRows(section) > 0) {
            if (r.isAccountPanel(section)) {
                m_userInfoView->setParent(m_table);
                m_userInfoView->move(kCellX + 1, y);
                m_userInfoView->show();
            } else {
                auto* cell = new PaviPadTableViewCell(m_table);
                cell->setGeometry(kCellX, y, kCellWidth, r.rowHeight(section));
                cell->textLabel()->setText(r.text(section));
                cell->textLabel()->setStyleSheet(
                    QStringLiteral("color: rgb(4, 4, 4); font-size: 18px; background: transparent;"));
                cell->detailTextLabel()->setText(r.detail(section));
                cell->detailTextLabel()->setStyleSheet(
                    QStringLiteral("color: rgb(4, 4, 4); font-size: 16px; background: transparent;"));
                cell->indicatorView()->setVisible(r.showsArrow(section));
                connect(cell, &PaviPadTableViewCell::tapped, this, [this, section] { didSelectRow(section); });
                cell->show();
                m_cells[section] = cell;
            }
            y += r.rowHeight(section);
        }
        y += r.footerHeight(section);
    }
}

PaviPadTableViewCell* PavAlbumSettingViewController_iPad::cellForSection(int section) const
{
    return section >= 0 && section < AlbumSettingRows::kSectionCount ? m_cells[section] : nullptr;
}

void PavAlbumSettingViewController_iPad::refreshAmount()
{
    if (!m_userInfoView)
        return;
    const DiskUserPtr user = m_c.currentUser();
    m_userInfoView->refreshAmount(user.get());
}

// ---- rows --------------------------------------------------------------------

void PavAlbumSettingViewController_iPad::didSelectRow(int section)
{
    const AlbumSettingRows r = rows();
    if (r.numberOfRows(section) == 0)
        return;
    recordUsage(r.tapEvent(section));
    switch (r.action(section)) {
    case AlbumSettingRows::Action::ChangePassword:
        pushLock(kLockChange, true);
        break;
    case AlbumSettingRows::Action::SetPassword:
        pushLock(kLockFirst, true);
        break;
    case AlbumSettingRows::Action::ShowBinding:
        pushBinding(kBindingShow);
        break;
    case AlbumSettingRows::Action::UnlockThenBind:
        pushLock(kLockEnter, false);
        break;
    case AlbumSettingRows::Action::Bind:
        pushBinding(kBindingBind);
        break;
    case AlbumSettingRows::Action::CloudSignIn:
        push(m_c.makeCloudLogin(this));
        break;
    case AlbumSettingRows::Action::None:
        break;
    }
    if (PaviPadTableViewCell* cell = cellForSection(section))
        cell->setHighlighted(false);
}

void PavAlbumSettingViewController_iPad::push(ui::Screen* screen, bool animated)
{
    ui::NavigationStack* stack = navigationStack();
    if (!screen)
        return;
    if (!stack || stack->topScreen() != this) {
        delete screen;   // only from the settings' own page
        return;
    }
    stack->push(screen, animated);
}

void PavAlbumSettingViewController_iPad::pushLock(int type, bool showFirstGuide)
{
    push(m_c.makeLockScreen(type, showFirstGuide, this));
}

void PavAlbumSettingViewController_iPad::pushBinding(int type)
{
    if (m_c.makeBindingScreen)
        push(m_c.makeBindingScreen(type, this));
}

void PavAlbumSettingViewController_iPad::popTop(bool animated)
{
    ui::NavigationStack* stack = navigationStack();
    if (stack && stack->topScreen() != this)
        stack->pop(animated);
}

void PavAlbumSettingViewController_iPad::secretAlbumPasswordControllerDidPassVerification(
    PavSecretAlbumPasswordController_iPad*)
{
    // Unlocked for the binding: the binding screen takes the lock screen's place.
    popTop(false);
    pushBinding(kBindingBind);
}

void PavAlbumSettingViewController_iPad::secretAlbumPasswordControllerDidSetPassword(
    PavSecretAlbumPasswordController_iPad*)
{
    m_c.privateAlbumChanged();
    popTop(true);
}

void PavAlbumSettingViewController_iPad::passwordProtectViewControllerDidBindKy(ui::Screen*)
{
    popToSettings();
}

void PavAlbumSettingViewController_iPad::passwordProtectViewControllerDidUnBindKy(ui::Screen*)
{
    popToSettings();
}

void PavAlbumSettingViewController_iPad::popToSettings()
{
    // The code screen may be above the binding screen: both go.
    if (ui::NavigationStack* stack = navigationStack())
        stack->popToScreen(this, true);
}

// ---- cloud account -----------------------------------------------------------

void PavAlbumSettingViewController_iPad::cloudAlbumLoginSuccess()
{
    m_c.center->post(QString::fromLatin1(kLoginNotification));
}

void PavAlbumSettingViewController_iPad::logoutButtonClicked()
{
    recordUsage(AlbumSettingRows::kSignOutEvent);
    // Signed out before anyone hears of it.
    CloudAlbumSession(*m_c.cloud, *m_c.savedAccount).signOut();
    m_c.center->post(QString::fromLatin1(kLogoutNotification));
    push(m_c.makeCloudLogin(this));
}

void PavAlbumSettingViewController_iPad::closeButtonClicked()
{
    DelegateRef<PavAlbumSettingViewControllerDelegate> delegate = m_delegate;
    dismissModal(true, [delegate] {
        if (PavAlbumSettingViewControllerDelegate* d = delegate.get())
            d->albumSettingViewControllerDidClose();
    });
}
