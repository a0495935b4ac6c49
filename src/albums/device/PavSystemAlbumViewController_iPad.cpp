#include "albums/device/PavSystemAlbumViewController_iPad.h"

#include "Public/PavAlertView.h"
#include "Public/PavProgressView.h"
#include "Public/PavRefreshTableHeaderView.h"
#include "albums/browser/PavSystemPhotoBrowserController_iPad.h"
#include "albums/container/AlbumHost.h"
#include "albums/container/AlbumLayout.h"
#include "albums/device/DeviceAlbumBar.h"
#include "albums/device/DeviceAlbumBatches.h"
#include "albums/device/GridRows.h"
#include "albums/device/ReloadPolicy.h"
#include "albums/store/PavPhotoManager.h"
#include "albums/widgets/AlbumRefreshHeader.h"
#include "albums/widgets/ImageLoadPool.h"
#include "albums/widgets/PavAlbumEmptyView_iPad.h"
#include "albums/widgets/PavSystemAssetView_iPad.h"
#include "albums/widgets/PavSystemAssetsCell_iPad.h"
#include "albums/widgets/PavSystemVideoCell_iPad.h"
#include "albums/widgets/PavSystemVideoView_iPad.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/photolib/LibraryFile.h"
#include "disk/PavCloudAlbumManager.h"
#include "platform/core/Localization.h"
#include "platform/core/MainThread.h"
#include "platform/media/ImageCodec.h"
#include "platform/media/VideoPlayerScreen.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationStack.h"

#include <QFileInfo>
#include <QHash>
#include <QPointer>

namespace {

constexpr int kEventPhotos = 27102;
constexpr int kEventVideos = 27103;
constexpr int kEventCheckAll = 27128;
constexpr int kEventBackupEdit = 27154;
constexpr int kEventLockEdit = 27155;
constexpr int kIconSide = 150;

QString kindType(int kind)
{
    return kind == 0 ? ALAsset::ALAssetTypePhoto : ALAsset::ALAssetTypeVideo;
}

}

PavSystemAlbumViewController_iPad::PavSystemAlbumViewController_iPad(int useType, QWidget* parent)
    : PavSystemAlbumViewController_iPad(useType, Collaborators{}, parent)
{
}

PavSystemAlbumViewController_iPad::PavSystemAlbumViewController_iPad(int useType, Collaborators c, QWidget* parent)
    : AlbumScreen(parent),
      m_useType(useType),
      m_c(std::move(c)),
      m_reader(m_c.reader ? m_c.reader : &PavAssetsManager::sharePavALAssetsManager()),
      m_dayTitle(m_c.clock ? *m_c.clock : Clock::system(), m_c.zone)
{
    if (!m_c.usage)
        m_c.usage = AlbumUsage::defaultRecorder();
    if (!m_c.center)
        m_c.center = &NotificationCenter::defaultCenter();
    if (!m_c.albumTabShown) {
        m_c.albumTabShown = [this] {
            AlbumHost* container = containerController();
            return container && container->albumTabOnScreen();
        };
    }
    if (!m_c.setCancelFlags) {
        m_c.setCancelFlags = [](bool cancel) {
            PavPhotoManager::sharedPavPhotoManager().setNeedEncryptionCancel(cancel);
            if (cancel)
                PavCloudAlbumManager::sharePavCloudAlbumManager().setNeedCancelUpload(true);
        };
    }
    if (!m_c.openPhoto) {
        m_c.openPhoto = [](const ALAssetPtr& asset, const QList<ALAssetPtr>& photos) {
            PavSystemPhotoBrowserController_iPad::openBrowser(photos, asset);
        };
    }
    if (!m_c.batchAction) {
        DeviceAlbumBatches::Host host;
        host.screen = this;
        host.useType = m_useType;
        host.selection = [this] { return selectedAssets(); };
        host.leaveEditMode = [this] {
            if (m_isEditing)
                quitEditModeAnimated(true);
        };
        m_batches = new DeviceAlbumBatches(std::move(host), DeviceAlbumBatches::Collaborators(), this);
        m_c.batchAction = [this](EditBar::Entry action) {
            if (action == EditBar::Entry::Lock)
                m_batches->lockButtonClicked();
            else
                m_batches->backupButtonClicked();
        };
    }
    m_checkUpdateTimer.setSingleShot(true);
    m_checkUpdateTimer.setInterval(ReloadPolicy::kDelayedLoadMs);
    connect(&m_checkUpdateTimer, &QTimer::timeout, this, &PavSystemAlbumViewController_iPad::checkUpdate);
    setTitle(L("Pad相册"));
}

PavSystemAlbumViewController_iPad::~PavSystemAlbumViewController_iPad()
{
    // A screen closed during its load takes its loading panel with it.
    if (m_gate.isUpdating())
        PavProgressView::dismiss();
}

void PavSystemAlbumViewController_iPad::recordUsage(int eventId)
{
    if (m_c.usage)
        m_c.usage(eventId);
}

void PavSystemAlbumViewController_iPad::viewDidLoad()
{
    // Built at the album's content size; resizeEvent follows later sizes.
    const int w = AlbumLayout::kContentFrame.width();
    const int h = AlbumLayout::kContentFrame.height();
    m_table = new ui::SectionedTable(this);
    m_table->setGeometry(0, 0, w, h - 50);
    m_table->setSource(this);
    const QRect tableBounds(0, 0, w, h - 50);
    m_emptyView = new PavAlbumEmptyView_iPad(tableBounds, 0, L("暂无照片"), 0);
    m_emptyView->hide();
    m_table->addOverlay(m_emptyView);
    m_refreshHeader = AlbumRefreshHeader::attach(m_table, tableBounds.size(), this, AlbumRefreshHeader::Feed::Always);

    m_bar = new DeviceAlbumBar(QRect(0, h - 50, w, 50), this);
    m_bar->doubleSlider()->setDelegate(this);
    connect(m_bar, &DeviceAlbumBar::editClicked, this, &PavSystemAlbumViewController_iPad::editButtonClicked);
    connect(m_bar, &DeviceAlbumBar::cancelClicked, this, &PavSystemAlbumViewController_iPad::cancelButtonClicked);
    connect(m_bar, &DeviceAlbumBar::lockClicked, this, [this] {
        if (m_c.batchAction)
            m_c.batchAction(EditBar::Entry::Lock);
    });
    connect(m_bar, &DeviceAlbumBar::backupClicked, this, [this] {
        if (m_c.batchAction)
            m_c.batchAction(EditBar::Entry::Backup);
    });

    m_locationDisabledView = new PavAlbumEmptyView_iPad(
        tableBounds, 2, L("苹果要求开启定位才能访问相册\n\n（请在系统设置>定位服务中开启）"), 0);
    m_locationDisabledView->hide();
    m_table->addOverlay(m_locationDisabledView);

    m_table->show();
    m_bar->show();
    setGridAndBar(m_table, m_bar);
    m_gate.setNeedUpdate(true);  // the first appearance loads
    m_isEditing = false;
    m_libraryObserver = m_c.center->addObserver(KyAssetsLibrary::kChangedNotification,
                                                [this](const QVariantMap&) { assetsLibraryDidChanged(); });
    m_c.setCancelFlags(false);
    if (m_useType == ReloadPolicy::AlbumTab) {
        m_checkObserver = m_c.center->addObserver(QString::fromLatin1(kShouldCheckUpdateNotification),
                                                  [this](const QVariantMap&) { systemAlbumShouldCheckUpdate(); });
        applyBar();
    } else {
        m_entry = EditBar::pickerEntry(m_useType);
        enterEditModeAnimated(false);
    }
}

void PavSystemAlbumViewController_iPad::viewWillAppear(bool)
{
    if (m_gate.needUpdate()) {
        m_gate.setNeedUpdate(false);
        getAssetsData();
    } else if (m_table) {
        reloadGrid();
    }
}

// ---- loading -------------------------------------------------------------

void PavSystemAlbumViewController_iPad::getAssetsData()
{
    const int kind = m_bar ? m_bar->doubleSlider()->sliderType() : 0;
    if (m_gate.request(kind))
        issueLoad();
}

void PavSystemAlbumViewController_iPad::checkUpdate()
{
    getAssetsData();
}

void PavSystemAlbumViewController_iPad::issueLoad()
{
    // A picker has no container: its panel covers the whole window.
    AlbumHost* container = containerController();
    PavProgressView::showWithString(L("加载中..."), false, container ? container->hostView() : nullptr);
    const LoadGate::Ticket ticket = m_gate.ticket();
    m_reader->updateWithAssetType(kindType(ticket.kind), this, QVariant::fromValue(ticket.generation));
}

void PavSystemAlbumViewController_iPad::assetsManagerDidUpdateAssetsArray(const QList<ALAssetPtr>& assets,
                                                                          const QVariant& object)
{
    const LoadGate::Ticket ticket{object.value<unsigned>(), m_gate.ticket().kind};
    m_answerAccepted = m_gate.accepts(ticket);
    if (!m_answerAccepted)
        return;  // an answer for a load that is no longer current
    // Sorting runs on the pool into new values; the main thread swaps them in.
    QPointer<PavSystemAlbumViewController_iPad> self(this);
    const QTimeZone zone = m_dayTitle.zone();
    ImageLoadPool::shared().run([self, ticket, assets, zone] {
        for (const ALAssetPtr& a : assets)
            a->setIsChecked(false);
        auto sorted = std::make_shared<DaySections>(sortAssets(assets, zone));
        MainThread::post([self, ticket, assets, sorted] {
            if (self && self->m_gate.accepts(ticket))
                self->applyListing(ticket, assets, *sorted);
        });
    });
}

DaySections PavSystemAlbumViewController_iPad::sortAssets(const QList<ALAssetPtr>& assets, const QTimeZone& zone)
{
    std::vector<DaySections::Item> items;
    items.reserve(assets.size());
    for (const ALAssetPtr& a : assets)
        items.push_back({a->date(), a->isPhoto()});
    return DaySections::build(items, zone);
}

void PavSystemAlbumViewController_iPad::applyListing(const LoadGate::Ticket& ticket, const QList<ALAssetPtr>& assets,
                                                     const DaySections& sections)
{
    const int shownKind = m_bar ? m_bar->doubleSlider()->sliderType() : 0;
    if (ticket.kind == shownKind) {
        m_selection.clear();
        m_assetsArray = assets;
        m_sections = sections;
        m_photoAssetsArray.clear();
        for (int index : m_sections.photos())
            m_photoAssetsArray.append(m_assetsArray[index]);
        m_loadedKind = ticket.kind;
        m_libraryRefused = false;
        if (m_locationDisabledView) {
            m_locationDisabledView->hide();
            m_emptyView->setVisible(m_assetsArray.isEmpty());
            m_emptyView->setTips(ticket.kind == 0 ? L("暂无照片") : L("暂无视频"));
            m_emptyView->setType(ticket.kind);
            reloadGrid();
        }
        updateEditDisplay();
    }
    // An arrival of the other kind (the switch moved meanwhile) is not shown:
    // the load the switch asked for follows.
    endLoad(ticket);
}

void PavSystemAlbumViewController_iPad::endLoad(const LoadGate::Ticket& ticket)
{
    PavProgressView::dismiss();
    m_isTableReloading = false;
    if (m_refreshHeader && m_table)
        m_refreshHeader->pavRefreshScrollViewDataSourceDidFinishedLoading(*m_table);
    if (m_gate.finish(ticket))
        issueLoad();  // exactly one more for the requests made meanwhile
}

void PavSystemAlbumViewController_iPad::assetsManagerFailedUpdatingWithError(const AssetsLibraryError& error,
                                                                             const QVariant& object)
{
    const LoadGate::Ticket ticket{object.value<unsigned>(), m_gate.ticket().kind};
    if (!m_gate.accepts(ticket))
        return;
    // The screen's words speak of refused access; the log says what is really wrong.
    if (error.message != m_loggedLibraryError) {
        qWarning("device album: the photo library cannot be listed: %s", qPrintable(error.message));
        m_loggedLibraryError = error.message;
    }
    showRefused();
    endLoad(ticket);
}

void PavSystemAlbumViewController_iPad::assetsManagerDidCheckAssetsLibraryIsAvailable(bool available, const QVariant&)
{
    if (!available)
        showRefused();
}

void PavSystemAlbumViewController_iPad::showRefused()
{
    m_assetsArray.clear();
    m_photoAssetsArray.clear();
    m_sections = DaySections();
    m_libraryRefused = true;
    // Nothing shown can stay selected.
    if (m_isEditing && m_useType == ReloadPolicy::AlbumTab)
        quitEditModeAnimated(false);
    m_selection.clear();
    if (m_table) {
        m_table->reloadData();
        m_emptyView->hide();
        m_locationDisabledView->show();
    }
    updateEditDisplay();
}

void PavSystemAlbumViewController_iPad::firstPhotoOfAssetsManager(const ALAssetPtr& asset)
{
    // Only a current listing changes the icon; a video listing has no photo
    // to show and puts the default back.
    if (!m_answerAccepted)
        return;
    AlbumHost* container = containerController();
    if (!container)
        return;
    const quint64 generation = ++m_iconGeneration;
    if (!asset) {
        container->resetAlbumIconToDefaultWithAlbumType(0);
        return;
    }
    QPointer<PavSystemAlbumViewController_iPad> self(this);
    auto library = KyAssetsLibrary::shareAssetsLibrary().library();
    const PhotoAssetPtr photo = asset->asset();
    ImageLoadPool::shared().run([self, library, photo, generation] {
        const QImage icon = ImageCodec::thumbnailWithSize(library->fullScreenImage(*photo), QSize(kIconSide, kIconSide));
        MainThread::post([self, icon, generation] {
            if (!self || self->m_iconGeneration != generation)
                return;
            if (AlbumHost* c = self->containerController()) {
                if (icon.isNull())
                    c->resetAlbumIconToDefaultWithAlbumType(0);
                else
                    c->setAlbumIconWithAlbumType(0, QPixmap::fromImage(icon));
            }
        });
    });
}

// ---- reload policy -------------------------------------------------------

void PavSystemAlbumViewController_iPad::assetsLibraryDidChanged()
{
    const ReloadPolicy::LibraryChange d = ReloadPolicy::onLibraryChanged(m_useType, isAlbumTabInFront());
    if (d.setCancelFlags)
        m_c.setCancelFlags(true);
    if (d.cancelPendingCheck)
        m_checkUpdateTimer.stop();
    if (d.loadNow) {
        m_gate.setNeedUpdate(false);
        getAssetsData();
    }
    if (d.needUpdate)
        m_gate.setNeedUpdate(true);
}

void PavSystemAlbumViewController_iPad::systemAlbumShouldCheckUpdate()
{
    AlbumHost* container = containerController();
    ReloadPolicy::ActiveState state;
    state.useType = m_useType;
    state.containerIndex = container ? container->selectedIndex() : 0;
    state.gridEmpty = m_assetsArray.isEmpty();
    state.owed = m_gate.needUpdate() && !m_gate.isUpdating();
    state.shownNow = isAlbumTabInFront();
    state.loading = m_gate.isUpdating();
    const ReloadPolicy::BecomeActive d = ReloadPolicy::onBecomeActive(state);
    if (d.checkAvailability)
        m_reader->checkAssetsLibrayIsAvailableWithDelegate(this, ReloadPolicy::kAvailabilityObject);
    if (d.delayedLoad)
        m_checkUpdateTimer.start();
    if (d.loadNow) {
        m_gate.setNeedUpdate(false);
        getAssetsData();
    }
    if (d.needUpdate)
        m_gate.setNeedUpdate(true);
}

bool PavSystemAlbumViewController_iPad::isAlbumTabInFront() const
{
    return m_c.albumTabShown() && containerController() && containerController()->selectedIndex() == 0;
}

void PavSystemAlbumViewController_iPad::pavRefreshTableHeaderDidTriggerRefresh(PavRefreshTableHeaderView*)
{
    m_isTableReloading = true;
    getAssetsData();
}

QDateTime PavSystemAlbumViewController_iPad::pavRefreshTableHeaderDataSourceLastUpdated(PavRefreshTableHeaderView*)
{
    return m_c.clock ? m_c.clock->now() : QDateTime::currentDateTimeUtc();
}

void PavSystemAlbumViewController_iPad::valueChangedInSlider(PavDoubleSlider* slider)
{
    recordUsage(slider->sliderType() == 1 ? kEventVideos : kEventPhotos);
    applyBar();
    getAssetsData();
}

void PavSystemAlbumViewController_iPad::setContainerController(AlbumHost* container)
{
    AlbumScreen::setContainerController(m_useType == ReloadPolicy::AlbumTab ? container : nullptr);
}

void PavSystemAlbumViewController_iPad::backToNormalMode()
{
    if (m_isEditing)
        quitEditModeAnimated(false);
}

// ---- edit mode and selection ---------------------------------------------

void PavSystemAlbumViewController_iPad::applyBar()
{
    if (!m_bar)
        return;
    EditBar::State s;
    s.editing = m_isEditing;
    s.entry = m_entry;
    s.videos = m_bar->doubleSlider()->sliderType() == 1;
    s.hasPhotos = m_loadedKind == 0 && !m_assetsArray.isEmpty();
    s.libraryRefused = m_libraryRefused;
    s.selected = m_selection.count();
    m_bar->apply(EditBar::look(s));
}

void PavSystemAlbumViewController_iPad::updateEditDisplay()
{
    applyBar();
}

void PavSystemAlbumViewController_iPad::editButtonClicked(EditBar::Entry entry)
{
    recordUsage(entry == EditBar::Entry::Lock ? kEventLockEdit : kEventBackupEdit);
    m_entry = entry;
    enterEditModeAnimated(true);
}

void PavSystemAlbumViewController_iPad::enterEditModeAnimated(bool animated)
{
    if (animated)
        ui::Animations::fade(this, 300);
    m_isEditing = true;
    if (m_refreshHeader)
        m_refreshHeader->hide();
    refreshMarks();
    if (m_table) {
        for (QWidget* w : m_table->visibleHeaders()) {
            if (auto* header = qobject_cast<PavAlbumTableHeaderView_iPad*>(w)) {
                header->setIsEditing(true);
                header->modifyCheckAllButton(isAssetsAllChecked(m_sections.sections()[header->section()].day));
            }
        }
    }
    updateEditDisplay();
}

void PavSystemAlbumViewController_iPad::quitEditModeAnimated(bool animated)
{
    if (animated)
        ui::Animations::fade(this, 300);
    m_isEditing = false;
    if (m_refreshHeader)
        m_refreshHeader->show();
    for (const ALAssetPtr& a : m_assetsArray)
        a->setIsChecked(false);
    m_selection.clear();
    if (m_table)
        reloadGrid();
    updateEditDisplay();
}

void PavSystemAlbumViewController_iPad::cancelButtonClicked()
{
    if (m_useType == ReloadPolicy::AlbumTab) {
        quitEditModeAnimated(true);
    } else if (ui::NavigationStack* stack = navigationStack()) {
        stack->pop(true);
    }
}

QList<QDate> PavSystemAlbumViewController_iPad::sortedDateKeys() const
{
    QList<QDate> keys;
    for (const DaySections::Section& s : m_sections.sections())
        keys.append(s.day);
    return keys;
}

QList<ALAssetPtr> PavSystemAlbumViewController_iPad::selectedAssets() const
{
    // Looked up by URL: a day's check-all can choose tens of thousands of
    // photos, and a search of the list for each froze the window for minutes.
    QHash<QString, ALAssetPtr> byUrl;
    byUrl.reserve(m_photoAssetsArray.size());
    for (const ALAssetPtr& a : m_photoAssetsArray) {
        if (!byUrl.contains(a->url()))
            byUrl.insert(a->url(), a);
    }
    QList<ALAssetPtr> out;
    out.reserve(m_selection.count());
    for (const QString& url : m_selection.ids()) {
        if (const auto found = byUrl.constFind(url); found != byUrl.cend())
            out.append(*found);
    }
    return out;
}

QString PavSystemAlbumViewController_iPad::transformDateString(const QDateTime& date) const
{
    return m_dayTitle.title(m_dayTitle.dayOf(date));
}

QStringList PavSystemAlbumViewController_iPad::photoUrlsOfSection(int section) const
{
    QStringList urls;
    if (section < 0 || section >= static_cast<int>(m_sections.sections().size()))
        return urls;
    for (int index : m_sections.sections()[section].items) {
        if (m_assetsArray[index]->isPhoto())
            urls << m_assetsArray[index]->url();
    }
    return urls;
}

bool PavSystemAlbumViewController_iPad::isAssetsAllChecked(const QDate& day) const
{
    const int section = m_sections.sectionOfDay(day);
    return section >= 0 && m_selection.allChosen(photoUrlsOfSection(section));
}

// Every tile the grid holds, those built ahead beyond the view included.
void PavSystemAlbumViewController_iPad::refreshMarks()
{
    if (!m_table)
        return;
    for (auto* tile : m_table->findChildren<PavSystemAssetView_iPad*>())
        tile->refreshMark(m_isEditing);
}

void PavSystemAlbumViewController_iPad::reloadGrid()
{
    if (!m_table)
        return;
    m_shownThumbnails.clear();
    auto keep = [this](const ALAssetPtr& asset, ui::ImageView* view) {
        if (asset && !view->image().isNull())
            m_shownThumbnails.insert(asset->url(), view->image());
    };
    for (auto* tile : m_table->findChildren<PavSystemAssetView_iPad*>())
        keep(tile->asset(), tile->thumbnailView());
    for (auto* tile : m_table->findChildren<PavSystemVideoView_iPad*>())
        keep(tile->asset(), tile->thumbnailView());
    m_table->reloadData();
    m_shownThumbnails.clear();
}

void PavSystemAlbumViewController_iPad::showVideoAlert()
{
    auto* alert = new PavAlertView(QString(), L("由于条件限制，暂不支持对视频进行处理。"), nullptr, L("知道了"));
    alert->show();
}

void PavSystemAlbumViewController_iPad::albumTableHeaderView(PavAlbumTableHeaderView_iPad* header, bool checked)
{
    recordUsage(kEventCheckAll);
    const int section = header->section();
    if (section < 0 || section >= static_cast<int>(m_sections.sections().size()))
        return;
    if (m_sections.sections()[section].photoCount == 0) {
        showVideoAlert();
        header->modifyCheckAllButton(false);
        return;
    }
    for (int index : m_sections.sections()[section].items) {
        const ALAssetPtr& a = m_assetsArray[index];
        if (a->isPhoto() && a->isChecked() != checked) {
            a->setIsChecked(checked);
            m_selection.set(a->url(), checked);
        }
    }
    refreshMarks();
    updateEditDisplay();
}

void PavSystemAlbumViewController_iPad::systemAssetViewSelected(const ALAssetPtr& asset)
{
    if (asset->isPhoto()) {
        m_selection.set(asset->url(), asset->isChecked());
        const int section = m_sections.sectionOfDay(m_dayTitle.dayOf(asset->date()));
        for (QWidget* w : m_table->visibleHeaders()) {
            auto* header = qobject_cast<PavAlbumTableHeaderView_iPad*>(w);
            if (header && header->section() == section)
                header->modifyCheckAllButton(isAssetsAllChecked(m_dayTitle.dayOf(asset->date())));
        }
    } else {
        showVideoAlert();
    }
    updateEditDisplay();
}

// ---- opening ---------------------------------------------------------------

void PavSystemAlbumViewController_iPad::systemAssetViewDidSelect(const ALAssetPtr& asset)
{
    if (m_openPending)
        return;  // a second tap while the first one opens
    m_openPending = true;
    // What was tapped, and the list it belongs to, as they are now: a load
    // that lands meanwhile does not change what opens.
    const QList<ALAssetPtr> photos = m_photoAssetsArray;
    QTimer::singleShot(kOpenDelayMs, this, [this, asset, photos] {
        m_openPending = false;
        open(asset, photos);
    });
}

void PavSystemAlbumViewController_iPad::open(const ALAssetPtr& asset, const QList<ALAssetPtr>& photos)
{
    if (asset->isPhoto()) {
        if (m_c.openPhoto)
            m_c.openPhoto(asset, photos);
        return;
    }
    // Opened by its name's own bytes: a name that is not UTF-8 plays through
    // the open descriptor, kept as long as the player.
    const QString path = asset->asset()->filePath();
    auto file = std::make_shared<LibraryFile>(path);
    if (path.isEmpty() || !file->isOpen() || !QFileInfo(file->readerPath()).isFile())
        return;  // deleted under us: nothing to play
    if (ui::Screen* player = VideoPlayerScreen::create(QUrl::fromLocalFile(file->readerPath()))) {
        connect(player, &QObject::destroyed, player, [file] {});
        presentFullScreen(player, true);
    }
}

// ---- the grid --------------------------------------------------------------

int PavSystemAlbumViewController_iPad::perRow() const
{
    return m_loadedKind == 0 ? GridRows::kPhotosPerRow : GridRows::kVideosPerRow;
}

int PavSystemAlbumViewController_iPad::numberOfSections()
{
    return static_cast<int>(m_sections.sections().size());
}

int PavSystemAlbumViewController_iPad::numberOfRows(int section)
{
    return GridRows::rowCount(static_cast<int>(m_sections.sections()[section].items.size()), perRow());
}

int PavSystemAlbumViewController_iPad::heightForRow(int section, int row)
{
    return GridRows::rowHeight(row, numberOfRows(section));
}

int PavSystemAlbumViewController_iPad::heightForHeader(int)
{
    return GridRows::kHeaderHeight;
}

QWidget* PavSystemAlbumViewController_iPad::viewForHeader(int section)
{
    const DaySections::Section& s = m_sections.sections()[section];
    auto* header = new PavAlbumTableHeaderView_iPad(QRect(0, 0, m_table->viewport()->width(), GridRows::kHeaderHeight),
                                                    m_isEditing);
    header->setSection(section);
    header->setDelegate(this);
    header->setTitle(m_dayTitle.title(s.day));
    header->setPhotoCount(static_cast<unsigned>(s.items.size()));
    if (m_isEditing)
        header->modifyCheckAllButton(isAssetsAllChecked(s.day));
    return header;
}

QList<QWidget*> PavSystemAlbumViewController_iPad::assetsViewsForRowAtIndexPath(int section, int row)
{
    const DaySections::Section& s = m_sections.sections()[section];
    const auto [first, end] = GridRows::rowRange(row, static_cast<int>(s.items.size()), perRow());
    QList<QWidget*> tiles;
    for (int i = first; i < end; ++i) {
        const ALAssetPtr& asset = m_assetsArray[s.items[i]];
        ui::ImageView* thumbnail = nullptr;
        if (m_loadedKind == 0) {
            auto* tile = new PavSystemAssetView_iPad(QPoint(), asset, this);
            thumbnail = tile->thumbnailView();
            tiles << tile;
        } else {
            auto* tile = new PavSystemVideoView_iPad(QPoint(), asset, this);
            thumbnail = tile->thumbnailView();
            tiles << tile;
        }
        // A tile rebuilt by a reload starts with the picture it showed; its
        // own read still follows and replaces it.
        const auto shown = m_shownThumbnails.constFind(asset->url());
        if (shown != m_shownThumbnails.cend())
            thumbnail->setImage(*shown);
    }
    return tiles;
}

QWidget* PavSystemAlbumViewController_iPad::cellForRow(int section, int row)
{
    const QList<QWidget*> tiles = assetsViewsForRowAtIndexPath(section, row);
    if (m_loadedKind == 0) {
        auto* cell = new PavSystemAssetsCell_iPad;
        cell->updateAssetViews(tiles, row == 0);
        return cell;
    }
    auto* cell = new PavSystemVideoCell_iPad;
    cell->updateVideoViews(tiles, row == 0);
    return cell;
}
