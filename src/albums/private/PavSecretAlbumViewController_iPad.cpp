#include "albums/private/PavSecretAlbumViewController_iPad.h"

#include "Public/PavAlertView.h"
#include "Public/PavProgressView.h"
#include "Public/PavRefreshTableHeaderView.h"
#include "Public/PavToastView_iPad.h"
#include "Public/PaviPadNavigationController.h"
#include "albums/browser/PavSecretPhotoBrowserController_iPad.h"
#include "albums/container/AlbumHost.h"
#include "albums/container/AlbumLayout.h"
#include "albums/device/GridRows.h"
#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/lock/PavSecretAlbumPasswordController_iPad.h"
#include "albums/private/SecretAlbumBar.h"
#include "albums/store/PavPhotoManager.h"
#include "albums/widgets/AlbumRefreshHeader.h"
#include "albums/widgets/ImageLoadPool.h"
#include "albums/widgets/PavAlbumEmptyView_iPad.h"
#include "albums/widgets/PavSecretPhotoCell_iPad.h"
#include "platform/core/AppLifecycle.h"
#include "platform/core/Localization.h"
#include "platform/core/MainThread.h"
#include "platform/media/Camera.h"
#include "platform/core/UserDefaults.h"
#include "platform/media/ImageCodec.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationStack.h"

#include <QScrollBar>
#include <QTimer>

namespace {

constexpr int kEventAdd = 27109;
constexpr int kEventCamera = 27110;
constexpr int kEventPicker = 27111;
constexpr int kEventEdit = 27112;
constexpr int kEventMoveOut = 27113;
constexpr int kEventDelete = 27115;
constexpr int kEventCheckAll = 27133;
constexpr int kIconSide = 150;
constexpr int kAlbumType = 1;
constexpr int kFadeMs = 300;

}

PavSecretAlbumViewController_iPad::PavSecretAlbumViewController_iPad(QWidget* parent)
    : PavSecretAlbumViewController_iPad(Collaborators{}, parent)
{
}

PavSecretAlbumViewController_iPad::PavSecretAlbumViewController_iPad(Collaborators c, QWidget* parent)
    : AlbumScreen(parent),
      m_c(std::move(c)),
      m_store(m_c.store ? *m_c.store : PavPhotoManager::sharedPavPhotoManager()),
      m_passwords(m_c.passwords ? *m_c.passwords : PavAlbumPasswordManager::shareAlbumPasswordManager()),
      m_dayTitle(m_c.clock ? *m_c.clock : Clock::system(), m_c.zone),
      m_grid(m_c.zone),
      m_batch(m_store, m_c.idleTimer ? *m_c.idleTimer : IdleTimer::shared())
{
    if (!m_c.usage)
        m_c.usage = AlbumUsage::defaultRecorder();
    if (!m_c.center)
        m_c.center = &NotificationCenter::defaultCenter();
    if (!m_c.defaults)
        m_c.defaults = &UserDefaults::standardUserDefaults();
    if (!m_c.openPhoto) {
        m_c.openPhoto = [](const PavPhotoModelPtr& photo, const PavPhotoModelList& photos) -> ui::Screen* {
            const int index = static_cast<int>(photos.indexOf(photo));
            return PavSecretPhotoBrowserController_iPad::openBrowser(photos, index < 0 ? 0 : index);
        };
    }
    if (!m_c.makePicker)
        m_c.makePicker = [] { return new PavSystemAlbumViewController_iPad(1); };
    if (!m_c.camera)
        m_c.camera = &Camera::system();
    if (!m_c.panelHost) {
        m_c.panelHost = [this]() -> QWidget* {
            if (ui::Canvas* c = canvas())
                return c;
            return window();
        };
    }
    SecretAlbumBatch::Listener listener;
    listener.progressed = [this](SecretAlbumBatch::Kind, const BatchCounts& counts) { batchProgressed(counts); };
    listener.finished = [this](SecretAlbumBatch::Kind kind, const BatchOutcome& outcome) {
        if (kind == SecretAlbumBatch::Kind::MoveOut)
            batchDecryptFinished(outcome);
        else
            batchDeleteFinished(outcome);
    };
    m_batch.setListener(std::move(listener));
    // Every re-lock (the background, becoming active) forgets what was shown.
    connect(&m_passwords, &PavAlbumPasswordManager::locked, this, &PavSecretAlbumViewController_iPad::albumLocked);
    setTitle(L("隐私相册"));
}

PavSecretAlbumViewController_iPad::~PavSecretAlbumViewController_iPad()
{
    delete m_session.panel();
}

void PavSecretAlbumViewController_iPad::recordUsage(int eventId)
{
    if (m_c.usage)
        m_c.usage(eventId);
}

// ---- building --------------------------------------------------------------

void PavSecretAlbumViewController_iPad::viewDidLoad()
{
    const int w = AlbumLayout::kContentFrame.width();
    const int h = AlbumLayout::kContentFrame.height();
    const QRect tableBounds(0, 0, w, h - 50);
    m_table = new ui::SectionedTable(this);
    m_table->setGeometry(tableBounds);
    m_table->setSource(this);
    m_emptyView = new PavAlbumEmptyView_iPad(tableBounds, 0, L("没有找到图片。要不立刻加一张？"), 20);
    m_emptyView->setCurveHidden(false);
    m_emptyView->hide();
    m_table->addOverlay(m_emptyView);
    m_refreshTableHeaderView = AlbumRefreshHeader::attach(m_table, tableBounds.size(), this);

    m_bar = new SecretAlbumBar(QRect(0, h - 50, w, 50), this);
    connect(m_bar->editButton(), &QAbstractButton::clicked, this, &PavSecretAlbumViewController_iPad::editButtonClicked);
    connect(m_bar->cancelButton(), &QAbstractButton::clicked, this,
            &PavSecretAlbumViewController_iPad::cancelButtonClicked);
    connect(m_bar->addButton(), &QAbstractButton::clicked, this, &PavSecretAlbumViewController_iPad::addButtonClicked);
    connect(m_bar->unlockButton(), &QAbstractButton::clicked, this,
            &PavSecretAlbumViewController_iPad::unlockButtonClicked);
    connect(m_bar->deleteButton(), &QAbstractButton::clicked, this,
            &PavSecretAlbumViewController_iPad::deleteButtonClicked);
    m_table->show();
    m_bar->show();
    setGridAndBar(m_table, m_bar);

    m_isEditing = false;
    m_isSavingPhoto = false;
    m_grid.clearSelection();
    // The first appearance loads; batch flags left from before mean nothing.
    m_store.setIsUpdated(true);
    m_store.setNeedDecryptionCancel(false);
    m_store.setNeedDeletionCancel(false);
    m_checkObserver = m_c.center->addObserver(QString::fromLatin1(kShouldCheckUpdateNotification),
                                              [this](const QVariantMap&) { secretAlbumShouldCheckVerification(); });
    m_backgroundObserver =
        m_c.center->addObserver(QString::fromLatin1(AppLifecycle::kDidEnterBackgroundNotification),
                                [this](const QVariantMap&) { m_batch.stop(BatchStopReason::Background); });
    updateEditDisplay();
}

// ---- the gate and the lock --------------------------------------------------

void PavSecretAlbumViewController_iPad::viewWillAppear(bool)
{
    SecretAlbumGate::Shown shown;
    shown.hasVerified = m_passwords.hasVerified();
    shown.hasItems = !m_grid.isEmpty();
    shown.emptyShown = m_emptyView && !m_emptyView->isHidden();
    shown.editing = m_isEditing;
    shown.isUpdated = m_store.isUpdated();
    switch (SecretAlbumGate::onAppear(shown)) {
    case SecretAlbumGate::Action::Verify:
        verify();
        break;
    case SecretAlbumGate::Action::Load:
        getSecretData();
        break;
    case SecretAlbumGate::Action::Nothing:
        break;
    }
}

void PavSecretAlbumViewController_iPad::verify()
{
    if (m_lockSheet)
        return;  // already asking
    const int type = m_passwords.passwordFile().exists() ? 1 : 3;
    auto* lock = PavSecretAlbumPasswordController_iPad::initWithType(type, m_passwords, m_c.usage);
    lock->setDelegate(this);
    auto* sheet = new PaviPadNavigationController(lock);
    m_lockSheet = sheet;
    presentSheet(sheet, ui::kFormSheetSize, true);
}

void PavSecretAlbumViewController_iPad::secretAlbumPasswordControllerDidPassVerification(
    PavSecretAlbumPasswordController_iPad*)
{
    if (m_lockSheet)
        m_lockSheet->dismissModal(true);
    m_lockSheet = nullptr;
    getSecretData();
}

void PavSecretAlbumViewController_iPad::secretAlbumPasswordControllerDidSetPassword(
    PavSecretAlbumPasswordController_iPad* controller)
{
    secretAlbumPasswordControllerDidPassVerification(controller);
}

void PavSecretAlbumViewController_iPad::secretAlbumPasswordControllerWillClose(PavSecretAlbumPasswordController_iPad*)
{
    m_lockSheet = nullptr;  // the lock screen closes its sheet itself
    if (AlbumHost* container = containerController())
        container->selectPreviousViewController();
}

void PavSecretAlbumViewController_iPad::albumLocked()
{
    m_gate.relock();
    m_batch.stop(BatchStopReason::Relock);
    clearDisplayData();
    // The browser closes on the same re-lock; the container leaves the album
    // first, or the album would come back and put up its lock screen.
    if (m_browser) {
        handTabBack();
        m_browser->dismissModal(false);
    }
}

void PavSecretAlbumViewController_iPad::handTabBack()
{
    AlbumHost* container = containerController();
    if (container && container->selectedIndex() == kAlbumType && !m_lockSheet)
        container->setSelectedIndex(0);
}

void PavSecretAlbumViewController_iPad::clearDisplayData()
{
    m_grid.clear();
    if (m_table)
        m_table->reloadData();
    if (m_emptyView)
        m_emptyView->hide();
    if (m_loading) {
        m_loading = false;
        PavProgressView::dismiss();
    }
    ++m_iconGeneration;
    updateEditDisplay();
}

void PavSecretAlbumViewController_iPad::secretAlbumShouldCheckVerification()
{
    clearDisplayData();
    ui::NavigationStack* stack = navigationStack();
    const bool editing = m_isEditing;
    if (editing)
        quitEditModeNeedRefreshData(false, false);
    else if (!m_browser && stack)
        stack->popToRoot(false);
    handTabBack();
    if (!editing && m_browser)
        m_browser->dismissModal(false);
    if (AlbumHost* container = containerController())
        container->resetAlbumIconToDefaultWithAlbumType(kAlbumType);
}

// ---- reloading ---------------------------------------------------------------

void PavSecretAlbumViewController_iPad::getSecretData()
{
    m_store.setIsUpdated(false);
    unsigned ticket = 0;
    if (!m_gate.beginLoad(m_passwords.hasVerified(), ticket)) {
        endRefresh();
        return;  // locked: nothing is read
    }
    m_loading = true;
    PavProgressView::showWithString(L("加载中..."), false, containerView());
    m_restoredShown = -1;
    awaitIndex(ticket);
}

void PavSecretAlbumViewController_iPad::awaitIndex(unsigned ticket)
{
    if (!m_gate.accepts(ticket, m_passwords.hasVerified()))
        return;  // locked again, or a later reload took over
    if (!m_store.isRepairingIndex()) {
        loadSecretDataFromDB(ticket);
        return;
    }
    // A half-healed index is not the album: the count of what came back
    // shows meanwhile.
    const int restored = m_store.restoredItemCount();
    if (restored != m_restoredShown) {
        m_restoredShown = restored;
        PavProgressView::showWithString(L("正在恢复相册... 已恢复%1项").arg(restored), false, containerView());
    }
    QTimer::singleShot(kIndexPollMs, this, [this, ticket] { awaitIndex(ticket); });
}

void PavSecretAlbumViewController_iPad::loadSecretDataFromDB(unsigned ticket)
{
    QPointer<PavSecretAlbumViewController_iPad> self(this);
    PavPhotoManager* store = &m_store;
    ImageLoadPool::shared().run([self, store, ticket] {
        const PavPhotoModelList list = store->photoes();
        MainThread::post([self, ticket, list] {
            if (self)
                self->applyList(ticket, list);
        });
    });
}

void PavSecretAlbumViewController_iPad::applyList(unsigned ticket, const PavPhotoModelList& list)
{
    if (!m_gate.accepts(ticket, m_passwords.hasVerified()))
        return;  // locked again, or a later reload is on its way
    m_grid.setList(list);
    if (m_emptyView)
        m_emptyView->setVisible(list.isEmpty());
    updateEditDisplay();
    if (m_table) {
        m_table->reloadData();
        if (m_isSavingPhoto)
            m_table->verticalScrollBar()->setValue(0);
    }
    m_isSavingPhoto = false;
    updateAlbumIcon(list);
    endRefresh();
}

void PavSecretAlbumViewController_iPad::doneLoadingTableViewData()
{
    m_isTableReloading = false;
    if (m_refreshTableHeaderView && m_table)
        m_refreshTableHeaderView->pavRefreshScrollViewDataSourceDidFinishedLoading(*m_table);
}

void PavSecretAlbumViewController_iPad::endRefresh()
{
    doneLoadingTableViewData();
    if (m_loading) {
        m_loading = false;
        PavProgressView::dismiss();
    }
}

void PavSecretAlbumViewController_iPad::updateAlbumIcon(const PavPhotoModelList& list)
{
    AlbumHost* container = containerController();
    if (!container)
        return;
    const quint64 generation = ++m_iconGeneration;
    if (list.isEmpty()) {
        container->resetAlbumIconToDefaultWithAlbumType(kAlbumType);
        return;
    }
    const QString thumb = m_store.thumbnailPath(*list.first());
    QPointer<PavSecretAlbumViewController_iPad> self(this);
    ImageLoadPool::shared().run([self, thumb, generation] {
        const QImage icon =
            ImageCodec::thumbnailWithSize(PavPhotoManager::decryptPhotoWithFullPath(thumb), QSize(kIconSide, kIconSide));
        MainThread::post([self, icon, generation] {
            if (!self || self->m_iconGeneration != generation)
                return;
            if (AlbumHost* c = self->containerController()) {
                if (icon.isNull())
                    c->resetAlbumIconToDefaultWithAlbumType(kAlbumType);
                else
                    c->setAlbumIconWithAlbumType(kAlbumType, QPixmap::fromImage(icon));
            }
        });
    });
}

void PavSecretAlbumViewController_iPad::pavRefreshTableHeaderDidTriggerRefresh(PavRefreshTableHeaderView*)
{
    m_isTableReloading = true;
    getSecretData();
}

QDateTime PavSecretAlbumViewController_iPad::pavRefreshTableHeaderDataSourceLastUpdated(PavRefreshTableHeaderView*)
{
    return m_c.clock ? m_c.clock->now() : QDateTime::currentDateTimeUtc();
}

QString PavSecretAlbumViewController_iPad::transformDateString(const QDateTime& date) const
{
    return m_dayTitle.title(m_dayTitle.dayOf(date));
}

// ---- edit mode and selection -----------------------------------------------

void PavSecretAlbumViewController_iPad::updateEditDisplay()
{
    if (!m_bar)
        return;
    const int n = m_grid.selectedCount();
    m_bar->setSelection(SecretAlbumGrid::selectionText(n), n > 0);
    m_bar->showEditing(m_isEditing);
    m_bar->editButton()->setEnabled(!m_grid.isEmpty());
}

void PavSecretAlbumViewController_iPad::editButtonClicked()
{
    recordUsage(kEventEdit);
    enterEditModeAnimated(true);
}

void PavSecretAlbumViewController_iPad::cancelButtonClicked()
{
    quitEditModeNeedRefreshData(false, true);
}

void PavSecretAlbumViewController_iPad::enterEditModeAnimated(bool animated)
{
    if (animated)
        ui::Animations::fade(this, kFadeMs);
    m_isEditing = true;
    if (m_refreshTableHeaderView)
        m_refreshTableHeaderView->hide();
    forEachVisibleTile([](PavSecretPhotoView_iPad* tile) { tile->selectedView()->show(); });
    refreshVisibleHeaders();
    updateEditDisplay();
}

void PavSecretAlbumViewController_iPad::quitEditModeNeedRefreshData(bool refresh, bool animated)
{
    if (animated)
        ui::Animations::fade(this, kFadeMs);
    m_isEditing = false;
    if (m_refreshTableHeaderView)
        m_refreshTableHeaderView->show();
    m_grid.clearSelection();
    if (refresh) {
        getSecretData();
    } else {
        forEachVisibleTile([](PavSecretPhotoView_iPad* tile) {
            tile->selectedView()->hide();
            tile->setDeselectedAnimated(false);
        });
        refreshVisibleHeaders();
    }
    updateEditDisplay();
}

void PavSecretAlbumViewController_iPad::backToNormalMode()
{
    ui::NavigationStack* stack = navigationStack();
    if (stack && stack->count() >= 2)
        stack->popToRoot(false);
    else if (m_isEditing)
        quitEditModeNeedRefreshData(false, false);
}

void PavSecretAlbumViewController_iPad::forEachVisibleTile(const std::function<void(PavSecretPhotoView_iPad*)>& fn)
{
    if (!m_table)
        return;
    for (QWidget* cell : m_table->visibleCells()) {
        for (auto* tile : cell->findChildren<PavSecretPhotoView_iPad*>())
            fn(tile);
    }
}

void PavSecretAlbumViewController_iPad::refreshVisibleHeaders()
{
    if (!m_table)
        return;
    for (QWidget* w : m_table->visibleHeaders()) {
        auto* header = qobject_cast<PavAlbumTableHeaderView_iPad*>(w);
        if (!header || header->section() >= m_grid.sectionCount())
            continue;
        header->setIsEditing(m_isEditing);
        header->modifyCheckAllButton(m_isEditing && m_grid.isAllChecked(m_grid.dayOfSection(header->section())));
    }
}

void PavSecretAlbumViewController_iPad::secretPhotoViewSelected(const PavPhotoModelPtr& photo)
{
    if (!photo)
        return;
    m_grid.photoToggled(photo);
    refreshVisibleHeaders();
    updateEditDisplay();
}

void PavSecretAlbumViewController_iPad::albumTableHeaderView(PavAlbumTableHeaderView_iPad* header, bool checked)
{
    recordUsage(kEventCheckAll);
    m_grid.checkAll(header->section(), checked);
    forEachVisibleTile([](PavSecretPhotoView_iPad* tile) {
        if (!tile->photo())
            return;
        if (tile->photo()->isChecked())
            tile->setSelectedAnimated(true);
        else
            tile->setDeselectedAnimated(true);
    });
    updateEditDisplay();
}

// ---- opening and adding -----------------------------------------------------

void PavSecretAlbumViewController_iPad::secretPhotoViewDidSelect(const PavPhotoModelPtr& photo)
{
    if (m_openPending || !photo)
        return;  // a second tap while the first one opens
    m_openPending = true;
    // The item and its list as they are at the tap.
    const PavPhotoModelList photos = m_grid.oriDataArray();
    QTimer::singleShot(kOpenDelayMs, this, [this, photo, photos] {
        m_openPending = false;
        if (m_c.openPhoto && m_passwords.hasVerified())
            m_browser = m_c.openPhoto(photo, photos);
    });
}

void PavSecretAlbumViewController_iPad::addButtonClicked()
{
    recordUsage(kEventAdd);
    m_bar->addButton()->setSelected(true);
    auto* sheet = new ui::ActionSheet(QString(), this, QString(), QString(), {L("从Pad相册选择"), L("拍照")});
    sheet->showFromRect(m_bar->addButton()->rect(), m_bar->addButton());
}

void PavSecretAlbumViewController_iPad::actionSheetDidDismissWithButtonIndex(ui::ActionSheet*, int buttonIndex)
{
    if (m_bar)
        m_bar->addButton()->setSelected(false);
    if (buttonIndex == 1)
        cameraAddButtonClicked();
    else if (buttonIndex == 0)
        systemAlbumAddButtonClicked();
}

void PavSecretAlbumViewController_iPad::systemAlbumAddButtonClicked()
{
    recordUsage(kEventPicker);
    if (ui::NavigationStack* stack = navigationStack())
        stack->push(m_c.makePicker(), true);
}

void PavSecretAlbumViewController_iPad::cameraAddButtonClicked()
{
    recordUsage(kEventCamera);
    if (!m_c.camera->isAvailable()) {
        auto* alert = new PavAlertView(QString(), L("本设备没有拍照功能"), nullptr, L("确定"));
        alert->show();
        return;
    }
    QPointer<PavSecretAlbumViewController_iPad> self(this);
    presentFullScreen(m_c.camera->makeCaptureScreen([self](const QImage& image) {
        if (self && !image.isNull())
            self->encryptImage(image);
    }),
                      true);
}

void PavSecretAlbumViewController_iPad::encryptImage(const QImage& image)
{
    m_isSavingPhoto = true;
    PavProgressView::showWithString(L("加载中..."), false, containerView());
    QPointer<PavSecretAlbumViewController_iPad> self(this);
    PavPhotoManager* store = &m_store;
    ImageLoadPool::shared().run([self, store, image] {
        const bool stored = store->encryptImage(image);
        MainThread::post([self, stored] {
            if (!self)
                return;
            if (stored) {
                self->getSecretData();
                return;
            }
            PavProgressView::dismiss();
            auto* alert = new PavAlertView(QString(), L("操作失败，请稍候重试！"), self.data(), L("确定"));
            alert->show();
        });
    });
}

// ---- the batches --------------------------------------------------------------

void PavSecretAlbumViewController_iPad::unlockButtonClicked()
{
    recordUsage(kEventMoveOut);
    batchDecrypt();
}

void PavSecretAlbumViewController_iPad::deleteButtonClicked()
{
    recordUsage(kEventDelete);
    auto* alert = new PavAlertView(QString(), L("确定要删除照片？"), this, L("取消"), {L("删除")});
    alert->setTag(kDeleteConfirmTag);
    alert->show();
}

void PavSecretAlbumViewController_iPad::alertViewDidDismissWithButtonIndex(ui::Alert* alert, int buttonIndex)
{
    if (alert->tag() == kDeleteConfirmTag && buttonIndex == 1)
        batchDelete();
    else if (alert->tag() == SecretBatchSummary::kMoveOutDoneTag && buttonIndex == 1)
        m_c.defaults->setBool(QString::fromLatin1(SecretBatchSummary::kHideAlertKey), true);
}

void PavSecretAlbumViewController_iPad::startBatch(SecretAlbumBatch::Kind kind)
{
    const PavPhotoModelList items = m_grid.selectedPhotoModels();
    if (items.isEmpty() || isBatchRunning() || !m_passwords.hasVerified())
        return;
    const bool moveOut = kind == SecretAlbumBatch::Kind::MoveOut;
    m_session.open(m_c.panelHost(), static_cast<unsigned>(items.size()),
                   moveOut ? L("照片正在移出...") : L("照片正在删除..."), moveOut ? kMoveOutPanelTag : kDeletePanelTag,
                   this);
    m_batch.start(kind, items);
}

void PavSecretAlbumViewController_iPad::batchDecrypt()
{
    startBatch(SecretAlbumBatch::Kind::MoveOut);
}

void PavSecretAlbumViewController_iPad::batchDelete()
{
    startBatch(SecretAlbumBatch::Kind::Delete);
}

void PavSecretAlbumViewController_iPad::batchProgressed(const BatchCounts& counts)
{
    m_session.showCounts(counts);
}

void PavSecretAlbumViewController_iPad::photosProcessingViewCancelButtonClicked(PavPhotosProcessingView_iPad* view)
{
    if ((view->tag() != kMoveOutPanelTag && view->tag() != kDeletePanelTag) || m_session.isEnding())
        return;
    // The user's stop first, so it is never recorded as another reason.
    m_batch.stop(BatchStopReason::User);
    if (view->tag() == kMoveOutPanelTag)
        m_store.setNeedDecryptionCancel(true);
    else
        m_store.setNeedDeletionCancel(true);
}

void PavSecretAlbumViewController_iPad::batchDecryptFinished(const BatchOutcome& outcome)
{
    batchFinished(SecretAlbumBatch::Kind::MoveOut, outcome);
}

void PavSecretAlbumViewController_iPad::batchDeleteFinished(const BatchOutcome& outcome)
{
    batchFinished(SecretAlbumBatch::Kind::Delete, outcome);
}

void PavSecretAlbumViewController_iPad::batchFinished(SecretAlbumBatch::Kind kind, const BatchOutcome& outcome)
{
    m_session.finish(this, [this, kind, outcome] {
        if (outcome.kind() == BatchOutcome::Kind::Summary)
            showSummary(kind, outcome.counts());
        quitEditModeNeedRefreshData(true, true);
    });
}

void PavSecretAlbumViewController_iPad::showSummary(SecretAlbumBatch::Kind kind, const BatchCounts& counts)
{
    const bool hide = m_c.defaults->contains(QString::fromLatin1(SecretBatchSummary::kHideAlertKey));
    const SecretBatchSummary s = SecretBatchSummary::of(kind, counts, hide);
    if (s.toast) {
        PavToastView_iPad::showSuccessToastViewWithMessage(s.text, SecretBatchSummary::kToastSeconds);
        return;
    }
    auto* alert = new PavAlertView(QString(), s.text, this, s.cancelTitle, s.otherTitles);
    alert->setTag(s.tag);
    alert->show();
}

// ---- the grid -------------------------------------------------------------------

int PavSecretAlbumViewController_iPad::heightForHeader(int)
{
    return GridRows::kHeaderHeight;
}

QWidget* PavSecretAlbumViewController_iPad::viewForHeader(int section)
{
    const PavPhotoModelList& photos = m_grid.section(section);
    auto* header = new PavAlbumTableHeaderView_iPad(QRect(0, 0, m_table->viewport()->width(), GridRows::kHeaderHeight),
                                                    m_isEditing);
    header->setSection(section);
    header->setDelegate(this);
    header->setTitle(m_dayTitle.title(m_grid.dayOfSection(section)));
    header->setPhotoCount(static_cast<unsigned>(photos.size()));
    if (m_isEditing)
        header->modifyCheckAllButton(m_grid.isAllChecked(m_grid.dayOfSection(section)));
    else
        header->setIsEditing(false);
    return header;
}

QWidget* PavSecretAlbumViewController_iPad::cellForRow(int section, int row)
{
    QList<QWidget*> tiles;
    for (const PavPhotoModelPtr& photo : m_grid.photosForIndexPath(section, row))
        tiles << new PavSecretPhotoView_iPad(QPoint(), photo, this);
    auto* cell = new PavSecretPhotoCell_iPad;
    cell->updatePhotoViews(tiles, row == 0);
    return cell;
}
