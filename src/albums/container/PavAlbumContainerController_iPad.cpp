#include "albums/container/PavAlbumContainerController_iPad.h"

#include "Public/PaviPadNavigationController.h"
#include "albums/cloud/PavCloudAlbumViewController_iPad.h"
#include "albums/container/AlbumScreen.h"
#include "albums/container/PavAlbumSelectionView_iPad.h"
#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/private/PavSecretAlbumViewController_iPad.h"
#include "albums/settings/PavAlbumSettingViewController_iPad.h"
#include "disk/PavCloudAlbumManager.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ModalHost.h"
#include "platform/ui/NavigationStack.h"
#include "platform/ui/TabContainer.h"

namespace {
constexpr int kSwitchFadeMs = 400;

PavAlbumContainerController_iPad::Collaborators withDefaults(PavAlbumContainerController_iPad::Collaborators c)
{
    if (!c.albumScreens)
        c.albumScreens = [](int index) -> AlbumScreen* {
            if (index == 0)
                return new PavSystemAlbumViewController_iPad(0);
            if (index == 1)
                return new PavSecretAlbumViewController_iPad();
            if (index == 2)
                return new PavCloudAlbumViewController_iPad;
            return new AlbumScreen();
        };
    if (!c.settings) {
        c.settings = [](PavAlbumContainerController_iPad* container) -> ui::Screen* {
            auto* settings = new PavAlbumSettingViewController_iPad;
            settings->setDelegate(container);
            return settings;
        };
    }
    if (!c.isLogined)
        c.isLogined = [] { return PavCloudAlbumManager::sharePavCloudAlbumManager().isLogined(); };
    if (!c.hasVerified)
        c.hasVerified = [] { return PavAlbumPasswordManager::shareAlbumPasswordManager().hasVerified(); };
    if (!c.usage)
        c.usage = AlbumUsage::defaultRecorder();
    if (!c.center)
        c.center = &NotificationCenter::defaultCenter();
    return c;
}
}

PavAlbumContainerController_iPad::PavAlbumContainerController_iPad(QWidget* parent)
    : PavAlbumContainerController_iPad(Collaborators(), parent)
{
}

PavAlbumContainerController_iPad::PavAlbumContainerController_iPad(Collaborators collaborators, QWidget* parent)
    : ui::Screen(parent), m_collaborators(withDefaults(std::move(collaborators))),
      m_navigator(m_collaborators.isLogined, m_collaborators.hasVerified)
{
}

PavAlbumContainerController_iPad::~PavAlbumContainerController_iPad()
{
    // The album screens are destroyed with the widgets below, after this
    // object's AlbumHost part: none may reach its host by then.
    for (const QPointer<AlbumScreen>& screen : m_screens)
        if (screen)
            screen->setContainerController(nullptr);
}

AlbumScreen* PavAlbumContainerController_iPad::albumScreen(int index) const
{
    return AlbumNavigator::isValid(index) ? m_screens[index].data() : nullptr;
}

void PavAlbumContainerController_iPad::viewDidLoad()
{
    m_initFlag = true;
    m_loginObserver = m_collaborators.center->addObserver(kCloudAlbumLoginNotification,
                                                          [this](const QVariantMap&) { didLoginCloudAlbum(); });
}

void PavAlbumContainerController_iPad::viewWillAppear(bool)
{
    if (m_initFlag) {
        initView();
        m_initFlag = false;
    }
}

QList<ui::Screen*> PavAlbumContainerController_iPad::viewControllers() const
{
    return m_content ? m_content->screens() : QList<ui::Screen*>();
}

void PavAlbumContainerController_iPad::initView()
{
    m_content = new ui::TabContainer(this);
    m_content->setGeometry(AlbumLayout::kContentFrame);

    m_bgView = new ui::ImageView("PavAlbum_Background_iPad.png", this);
    m_bgView->setGeometry(0, 20, width(), height() - 20);
    m_bgView->lower();

    m_strip = new PavAlbumSelectionView_iPad(QPoint(12, 32), this, m_collaborators.usage);
    m_strip->setDelegate(this);

    QList<ui::Screen*> stacks;
    for (int i = 0; i < AlbumNavigator::kCount; ++i) {
        m_screens[i] = m_collaborators.albumScreens(i);
        m_screens[i]->setContainerController(this);
        auto* stack = new ui::NavigationStack(m_screens[i]);
        stack->setBarHidden(true);
        stacks.append(stack);
    }
    m_content->setScreens(stacks);
    addChildScreen(m_content);
    m_bgView->show();
    m_content->show();
    m_strip->show();
    // The strip and the content always agree, also when an album was chosen
    // before the view was built.
    m_content->setSelectedIndex(m_navigator.shown());
    m_strip->setAlbumItemSelected(m_navigator.shown());
}

void PavAlbumContainerController_iPad::show(int index)
{
    m_strip->setAlbumItemSelected(index);
    ui::Animations::fade(m_content, kSwitchFadeMs, QEasingCurve::InOutQuad);
    m_content->setSelectedIndex(index, true);
}

void PavAlbumContainerController_iPad::setSelectedIndex(int index)
{
    if (!AlbumNavigator::isValid(index))
        return;
    const int leaving = m_navigator.select(index);
    if (AlbumScreen* screen = albumScreen(leaving))
        screen->backToNormalMode();
    if (m_content)
        show(index);
}

void PavAlbumContainerController_iPad::selectPreviousViewController()
{
    const int index = m_navigator.selectPrevious();
    if (m_content)
        show(index);
}

void PavAlbumContainerController_iPad::setAlbumIconWithAlbumType(int index, const QPixmap& image)
{
    if (m_strip)
        m_strip->setAlbumItemImage(index, image);
}

void PavAlbumContainerController_iPad::resetAlbumIconToDefaultWithAlbumType(int index)
{
    setAlbumIconWithAlbumType(index, QPixmap());
}

void PavAlbumContainerController_iPad::didLoginCloudAlbum()
{
    if (m_navigator.loginNeedsSwitch())
        setSelectedIndex(AlbumNavigator::Cloud);
    else if (AlbumScreen* cloud = m_screens[AlbumNavigator::Cloud])
        cloud->refreshData();
}

void PavAlbumContainerController_iPad::albumSettingViewControllerDidClose()
{
    if (m_navigator.settingsCloseNeedsReturn())
        selectPreviousViewController();
}

void PavAlbumContainerController_iPad::albumSelectionViewDidSelectedItem(int index)
{
    setSelectedIndex(index);
}

void PavAlbumContainerController_iPad::albumSelectionViewDidClickSettingButton()
{
    if (!m_collaborators.settings)
        return;
    ui::Screen* settings = m_collaborators.settings(this);
    if (!settings)
        return;
    // The settings sit 63 points below where a sheet starts.
    if (ui::ModalHost* sheet = presentSheet(new PaviPadNavigationController(settings), ui::kFormSheetSize, true))
        sheet->setContentFrame(sheet->contentFrame().translated(0, 63));
}
