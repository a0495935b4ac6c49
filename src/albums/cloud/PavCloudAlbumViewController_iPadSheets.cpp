// The cloud album's sheets and the screens it opens over its grid: the add
// menu, the device album's picker and the camera, and the sign-in sheet
// with the sign-in, its lapse and the sign-out.
#include "albums/cloud/PavCloudAlbumViewController_iPad.h"

#include "Public/PavAlertView.h"
#include "Public/PaviPadNavigationController.h"
#include "albums/cloud/CloudAlbumBar.h"
#include "albums/cloud/CloudAlbumSession.h"
#include "albums/cloud/CloudCameraUpload.h"
#include "albums/container/AlbumHost.h"
#include "disk/PavCloudAlbumManager.h"
#include "platform/core/Localization.h"
#include "platform/media/Camera.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ModalHost.h"
#include "platform/ui/NavigationStack.h"

namespace {
constexpr int kEventAdd = 27139;
constexpr int kEventCamera = 27140;
constexpr int kEventDeviceAlbum = 27141;
}

// ---- adding ------------------------------------------------------------------

void PavCloudAlbumViewController_iPad::addButtonClicked()
{
    recordUsage(kEventAdd);
    m_bar->addButton()->setSelected(true);
    auto* sheet = new ui::ActionSheet(QString(), this, QString(), QString(), {L("从Pad相册选择"), L("拍照")});
    sheet->showFromRect(m_bar->addButton()->rect(), m_bar->addButton());
}

void PavCloudAlbumViewController_iPad::actionSheetClickedButtonAtIndex(ui::ActionSheet*, int buttonIndex)
{
    m_bar->addButton()->setSelected(false);
    if (buttonIndex == 0)
        openDeviceAlbum();
    else if (buttonIndex == 1)
        openCamera();
}

void PavCloudAlbumViewController_iPad::openDeviceAlbum()
{
    recordUsage(kEventDeviceAlbum);
    ui::NavigationStack* stack = navigationStack();
    ui::Screen* picker = stack ? m_c.makePicker() : nullptr;
    if (!picker)
        return;
    if (auto* album = qobject_cast<AlbumScreen*>(picker))
        album->setContainerController(containerController());
    stack->push(picker, true);
}

void PavCloudAlbumViewController_iPad::openCamera()
{
    recordUsage(kEventCamera);
    if (!m_c.camera->isAvailable()) {
        showAlert(L("本设备没有拍照功能"));
        return;
    }
    QPointer<PavCloudAlbumViewController_iPad> self(this);
    presentFullScreen(m_c.camera->makeCaptureScreen([self](const QImage& image) {
        if (self)
            self->imagePickerDidFinish(image);
    }),
                      true);
}

void PavCloudAlbumViewController_iPad::imagePickerDidFinish(const QImage& image)
{
    if (presentedScreen())
        dismissModal(true);
    m_cameraUpload->start(image);
}

void PavCloudAlbumViewController_iPad::showAlert(const QString& message)
{
    (new PavAlertView(QString(), message, nullptr, L("确定")))->show();
}

// ---- navigation, sign-in and sign-out ---------------------------------------

PavCloudAlbumViewController_iPad* PavCloudAlbumViewController_iPad::rootCloudScreen() const
{
    AlbumHost* container = containerController();
    return container ? qobject_cast<PavCloudAlbumViewController_iPad*>(container->albumScreen(kCloudAlbumType)) : nullptr;
}

void PavCloudAlbumViewController_iPad::popToRoot(bool animated)
{
    if (ui::NavigationStack* stack = navigationStack())
        stack->popToRoot(animated);
}

void PavCloudAlbumViewController_iPad::backToNormalMode()
{
    ui::NavigationStack* stack = navigationStack();
    ui::Screen* top = stack ? stack->topScreen() : this;
    auto* cloudTop = qobject_cast<PavCloudAlbumViewController_iPad*>(top);
    if (!cloudTop) {
        stack->pop(false);
    } else if (cloudTop->isEditing()) {
        cloudTop->quitEditModeNeedRefreshData(false, true);
    }
}

void PavCloudAlbumViewController_iPad::showLoginViewController()
{
    if (presentedScreen())
        return;   // already asking
    ui::Screen* login = m_c.makeLogin ? m_c.makeLogin(this) : nullptr;
    // The sign-in sits 118 points below where a sheet starts.
    ui::ModalHost* sheet =
        login ? presentSheet(new PaviPadNavigationController(login), ui::kShortFormSheetSize, true) : nullptr;
    if (sheet)
        sheet->setContentFrame(sheet->contentFrame().translated(0, 118));
}

void PavCloudAlbumViewController_iPad::cloudAlbumLoginSuccess()
{
    if (!m_isSubPath) {
        m_currentDir = m_cloud.cloudAlbumDir();
        m_cloud.setCurrentDir(m_currentDir);
        getPathList();
        return;
    }
    if (PavCloudAlbumViewController_iPad* root = rootCloudScreen())
        root->clearDisplayData();
    m_cloud.setIsUpdated(true);
    popToRoot(true);
}

void PavCloudAlbumViewController_iPad::cloudAlbumLoginCancel()
{
    AlbumHost* container = containerController();
    if (m_isSubPath)
        popToRoot(false);
    if (container)
        container->selectPreviousViewController();
}

void PavCloudAlbumViewController_iPad::fileRequireLogin()
{
    CloudAlbumSession(m_cloud, m_saved).signInLapsed();
    clearDisplayData();
    showLoginViewController();
}

void PavCloudAlbumViewController_iPad::cloudAlbumLogout()
{
    if (AlbumHost* container = containerController())
        container->resetAlbumIconToDefaultWithAlbumType(kCloudAlbumType);
    m_currentDir.reset();
    m_iconPhoto.reset();
    clearDisplayData();
    popToRoot(false);
}
