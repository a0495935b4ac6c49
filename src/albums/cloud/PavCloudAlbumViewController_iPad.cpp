#include "albums/cloud/PavCloudAlbumViewController_iPad.h"

#include "Public/PavProgressView.h"
#include "Public/PavRefreshTableHeaderView.h"
#include "albums/browser/PavCloudPhotoBrowserController_iPad.h"
#include "albums/cloud/CloudAlbumBar.h"
#include "albums/cloud/CloudAlbumSession.h"
#include "albums/cloud/CloudCameraUpload.h"
#include "albums/cloud/PavCloudAlbumLoginViewController_iPad.h"
#include "albums/cloud/PavCloudPhotoCell_iPad.h"
#include "albums/cloud/PavCloudPhotoView_iPad.h"
#include "albums/container/AlbumHost.h"
#include "albums/container/AlbumLayout.h"
#include "albums/device/DiskBackupUploader.h"
#include "albums/device/PavSystemAlbumViewController_iPad.h"
#include "albums/widgets/AlbumRefreshHeader.h"
#include "albums/widgets/PavAlbumEmptyView_iPad.h"
#include "disk/DiskManager.h"
#include "disk/DiskStoreTypes.h"
#include "disk/PavCloudAlbumManager.h"
#include "disk/PavDiskUserInfoManager.h"
#include "platform/core/Localization.h"
#include "platform/media/Camera.h"
#include "platform/media/ImageCodec.h"
#include "platform/sys/NetworkHelper.h"
#include "platform/ui/ActivityIndicator.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationStack.h"

#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int kTopHeight = 45;
constexpr int kBottomHeight = 50;
constexpr int kIconSide = 150;
constexpr int kEventOpenFolder = 27138;
constexpr int kEventEdit = 27143;
constexpr int kCloudPicker = 2;

PavCloudAlbumViewController_iPad::Collaborators withDefaults(PavCloudAlbumViewController_iPad::Collaborators c)
{
    if (!c.disk)
        c.disk = &DiskManager::shareDiskManager();
    if (!c.cloud)
        c.cloud = &PavCloudAlbumManager::sharePavCloudAlbumManager();
    if (!c.savedAccount)
        c.savedAccount = &PavDiskUserInfoManager::sharePavDiskUserInfoManager();
    if (!c.makeLogin) {
        c.makeLogin = [](PavCloudAlbumLoginDelegate* delegate) -> ui::Screen* {
            auto* login = new PavCloudAlbumLoginViewController_iPad;
            login->setDelegate(delegate);
            return login;
        };
    }
    if (!c.camera)
        c.camera = &Camera::system();
    if (!c.makePicker)
        c.makePicker = []() -> ui::Screen* { return new PavSystemAlbumViewController_iPad(kCloudPicker); };
    if (!c.openPhoto) {
        c.openPhoto = [disk = c.disk, cloud = c.cloud](const DiskFilePtr& photo, const QList<DiskFilePtr>& photos) {
            PavPhotoBrowserController_iPad::presentFromRoot(
                new PavCloudPhotoBrowserController_iPad(photos, int(photos.indexOf(photo)), disk, cloud));
        };
    }
    if (!c.network)
        c.network = [] { return NetworkHelper::getNetworkConnction(); };
    if (!c.usage)
        c.usage = AlbumUsage::defaultRecorder();
    if (!c.center)
        c.center = &NotificationCenter::defaultCenter();
    c.batches.disk = c.disk;
    c.batches.cloud = c.cloud;
    if (!c.batches.network)
        c.batches.network = c.network;
    if (!c.batches.usage)
        c.batches.usage = c.usage;
    return c;
}

// The top bar: white under the drawn bar image.
class TopBar : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::white); }
};

}

PavCloudAlbumViewController_iPad::PavCloudAlbumViewController_iPad(QWidget* parent)
    : PavCloudAlbumViewController_iPad(Collaborators{}, false, {}, parent)
{
}

PavCloudAlbumViewController_iPad::PavCloudAlbumViewController_iPad(Collaborators collaborators, bool isSubPath,
                                                                   DiskDirPtr dir, QWidget* parent)
    : AlbumScreen(parent), m_c(withDefaults(std::move(collaborators))), m_disk(*m_c.disk), m_cloud(*m_c.cloud),
      m_saved(*m_c.savedAccount), m_isSubPath(isSubPath), m_currentDir(std::move(dir))
{
    setTitle(m_isSubPath && m_currentDir ? m_currentDir->dir_name()
                                         : QString::fromUtf8(PavCloudAlbumManager::kCloudAlbumName));
    m_nextPageTimer.setSingleShot(true);
    m_nextPageTimer.setInterval(kNextPageDelayMs);
    connect(&m_nextPageTimer, &QTimer::timeout, this, &PavCloudAlbumViewController_iPad::loadNextPage);
    m_listingRequests = std::make_unique<CloudListingRequests>(m_disk, *this, [this] {
        // A dropped answer still ends the thumbnail pause, and the refresh
        // when no newer listing is awaited.
        m_disk.setIgnoreThumbnailRequest(false);
        if (!m_listingRequests->isWaiting())
            endRefresh();
    });
    CloudAlbumBatches::Host host;
    host.selection = [this] { return selectedPhotos(); };
    host.leaveEditMode = [this](bool refresh) { quitEditModeNeedRefreshData(refresh, true); };
    host.signInLapsed = [this] { fileRequireLogin(); };
    m_batches = std::make_unique<CloudAlbumBatches>(std::move(host), m_c.batches);

    m_cameraUploader = std::make_unique<DiskBackupUploader>(&m_disk);
    CloudCameraUpload::Collaborators camera;
    camera.uploader = m_cameraUploader.get();
    camera.isLogined = [this] { return m_cloud.isLogined(); };
    camera.freeSpace = [this]() -> std::optional<qint64> {
        const DiskUserPtr user = m_disk.current_user();
        return user ? user->total_space() - user->used_space() : 0;
    };
    camera.network = m_c.network;
    camera.folder = [this] { return m_cloud.currentDir(); };
    camera.panelHost = [this]() -> QWidget* {
        if (m_batches->processingView())
            return nullptr;
        ui::Canvas* canvas = ui::Canvas::current();
        return canvas && canvas->rootScreen() ? static_cast<QWidget*>(canvas->rootScreen()) : window();
    };
    camera.uploaded = [this] { getPathList(); };
    camera.signInLapsed = [this] { fileRequireLogin(); };
    m_cameraUpload = std::make_unique<CloudCameraUpload>(std::move(camera));
    m_resumedUploadObserver =
        m_disk.addResumedUploadObserver([this](const QString& dirKey) { resumedUploadCompleted(dirKey); });
}

PavCloudAlbumViewController_iPad::~PavCloudAlbumViewController_iPad()
{
    m_disk.requestStopAllDownloadThumbnail();
    // A listing whose answer this screen will never hear must not leave the
    // disk ignoring thumbnail requests.
    if (m_listingRequests->hasInFlight())
        m_disk.setIgnoreThumbnailRequest(false);
    m_batches.reset();
    m_listingRequests.reset();
}

void PavCloudAlbumViewController_iPad::recordUsage(int eventId)
{
    if (m_c.usage)
        m_c.usage(eventId);
}

// ---- views -----------------------------------------------------------------

void PavCloudAlbumViewController_iPad::viewDidLoad()
{
    const int w = AlbumLayout::kContentFrame.width();
    const int h = AlbumLayout::kContentFrame.height();
    buildTopView();
    m_table = new ui::SectionedTable(this);
    m_table->setSource(this);
    const QRect tableBounds(0, 0, w, h - kTopHeight - kBottomHeight);
    m_emptyView = new PavAlbumEmptyView_iPad(tableBounds, 0, L("没有找到图片。要不立刻加一张？"), kTopHeight + 20);
    m_emptyView->setCurveHidden(false);
    m_emptyView->hide();
    m_table->addOverlay(m_emptyView);
    m_refreshTableHeaderView = AlbumRefreshHeader::attach(m_table, tableBounds.size(), this);
    connect(m_table->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &PavCloudAlbumViewController_iPad::maybeLoadNextPage);
    connect(m_table, &ui::SectionedTable::didScroll, this, &PavCloudAlbumViewController_iPad::retryRowsShownAgain);

    m_bar = new CloudAlbumBar(QRect(0, h - kBottomHeight, w, kBottomHeight), this);
    connect(m_bar, &CloudAlbumBar::editClicked, this, &PavCloudAlbumViewController_iPad::editButtonClicked);
    connect(m_bar, &CloudAlbumBar::addClicked, this, &PavCloudAlbumViewController_iPad::addButtonClicked);
    connect(m_bar, &CloudAlbumBar::cancelClicked, this, [this] { quitEditModeNeedRefreshData(false, true); });
    connect(m_bar, &CloudAlbumBar::saveClicked, this, [this] { m_batches->saveButtonClicked(); });
    connect(m_bar, &CloudAlbumBar::deleteClicked, this, [this] { m_batches->deleteButtonClicked(); });

    m_noNetworkView = new PavAlbumEmptyView_iPad(QRect(0, 0, w, h), 3, L("需要网络连接\n\n建议连接网络后点击屏幕重试"), 0, this);
    m_noNetworkView->hide();
    m_noNetworkView->installEventFilter(this);

    m_table->show();
    m_bar->show();
    m_bar->setEditEnabled(false);
    layoutToSize();

    m_disk.setIgnoreThumbnailRequest(false);
    m_cloud.setIsUpdated(true);   // the first appearance lists
    if (!m_isSubPath) {
        m_logoutObserver = m_c.center->addObserver(QString::fromLatin1(kLogoutNotification),
                                                   [this](const QVariantMap&) { cloudAlbumLogout(); });
    }
}

void PavCloudAlbumViewController_iPad::buildTopView()
{
    m_topView = new TopBar(this);
    m_topImage = new ui::ImageView(QStringLiteral("subTitle_iPad_2.png"), m_topView);
    m_titleLabel = new QLabel(m_topView);
    QFont font = m_titleLabel->font();
    font.setPixelSize(18);
    m_titleLabel->setFont(font);
    m_titleLabel->setAlignment(Qt::AlignCenter);
    m_titleLabel->setStyleSheet(QStringLiteral("color: rgb(51, 51, 51); background: transparent;"));
    if (m_isSubPath) {
        m_titleLabel->setText(title());
        auto* back = new ui::ImageButton(m_topView);
        back->setBackgroundImageNamed(QStringLiteral("PavAlbum_GrayButton_iPad.png"));
        back->setBackgroundImageNamed(QStringLiteral("PavAlbum_GrayButton_selected_iPad.png"), ui::ImageButton::Highlighted);
        QFont backFont = back->font();
        backFont.setPixelSize(15);
        back->setTitleFont(backFont);
        back->setTitle(L("返回"));
        back->setTitleColor(Qt::white);
        back->setGeometry(8, -2, 78, 50);
        connect(back, &QAbstractButton::clicked, this, [this] {
            if (ui::NavigationStack* stack = navigationStack())
                stack->pop(true);
        });
    } else {
        m_kyIcon = new ui::ImageView(QStringLiteral("PavAlbum_Ky_iPad.png"), m_topView);
        m_kyIcon->resize(32, 32);
        m_kyIcon->hide();
    }
    m_topView->show();
}

void PavCloudAlbumViewController_iPad::layoutToSize()
{
    if (!m_table || width() <= 0 || height() <= kTopHeight + kBottomHeight)
        return;
    m_topView->setGeometry(0, 0, width(), kTopHeight);
    m_topImage->setGeometry(m_topView->rect());
    m_titleLabel->setGeometry(width() / 4, 0, width() / 2, kTopHeight);
    m_table->setGeometry(0, kTopHeight, width(), height() - kTopHeight - kBottomHeight);
    m_bar->setGeometry(0, height() - kBottomHeight, width(), kBottomHeight);
    m_noNetworkView->setGeometry(rect());
    updateTopView();
}

void PavCloudAlbumViewController_iPad::resizeEvent(QResizeEvent* event)
{
    AlbumScreen::resizeEvent(event);
    layoutToSize();
}

bool PavCloudAlbumViewController_iPad::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_noNetworkView && event->type() == QEvent::MouseButtonRelease && m_noNetworkView->isVisible()) {
        getPathList();
        return true;
    }
    return AlbumScreen::eventFilter(watched, event);
}

void PavCloudAlbumViewController_iPad::updateTopView()
{
    if (m_isSubPath || !m_titleLabel)
        return;
    const DiskUserPtr user = m_disk.current_user();
    if (m_cloud.isLogined() && user && user->uin()) {
        m_titleLabel->setText(QStringLiteral("Ky:%1").arg(*user->uin()));
        const int textWidth = m_titleLabel->fontMetrics().horizontalAdvance(m_titleLabel->text());
        m_kyIcon->move((m_topView->width() - textWidth) / 2 - 40, 6);
        m_kyIcon->show();
    } else {
        m_titleLabel->clear();
        m_kyIcon->hide();
    }
}

// ---- appearing and listing ---------------------------------------------------

void PavCloudAlbumViewController_iPad::viewWillAppear(bool)
{
    // The disk tab may have signed in to another account meanwhile: then the
    // album is signed out before anything of it is listed.
    if (m_cloud.isLogined() && !CloudAlbumSession::belongsTo(m_cloud.cloudAlbumDir(), m_disk.current_user())) {
        CloudAlbumSession(m_cloud, m_saved).accountChanged();
        if (!m_isSubPath)
            m_currentDir.reset();
    }
    if (m_isSubPath) {
        m_cloud.setCurrentDir(m_currentDir);
    } else {
        m_cloud.setCurrentDir(m_cloud.cloudAlbumDir());
        if (!m_currentDir && m_cloud.isLogined()) {
            m_currentDir = m_cloud.cloudAlbumDir();
            m_cloud.setIsUpdated(true);
        }
    }
    if (!m_cloud.isLogined()) {
        m_cloud.setIsUpdated(false);
        if (m_isSubPath)
            popToRoot(false);
        else
            clearDisplayData();
        showLoginViewController();
        return;
    }
    if (m_cloud.isUpdated())
        getPathList();
    else if (m_table)
        m_table->reloadData();
}

void PavCloudAlbumViewController_iPad::refreshData()
{
    if (!m_isSubPath)
        m_currentDir = m_cloud.cloudAlbumDir();
    m_cloud.setCurrentDir(m_currentDir);
    getPathList();
}

bool PavCloudAlbumViewController_iPad::checkNetwork()
{
    const bool connected = m_c.network() != NetworkConnectionNone;
    if (m_noNetworkView) {
        m_noNetworkView->setVisible(!connected);
        if (!connected)
            m_noNetworkView->raise();
        m_topView->setVisible(connected);
        m_table->setVisible(connected);
        m_bar->setVisible(connected);
    }
    return connected;
}

void PavCloudAlbumViewController_iPad::getPathList()
{
    m_cloud.setIsUpdated(false);
    if (!checkNetwork()) {
        endRefresh();
        clearDisplayData();
        return;
    }
    if (!m_currentDir) {
        endRefresh();
        return;
    }
    if (AlbumHost* container = containerController())
        PavProgressView::showWithString(L("加载中..."), true, container->hostView());
    updateTopView();
    m_disk.requestStopAllDownloadThumbnail();
    m_disk.setIgnoreThumbnailRequest(true);
    m_listingRequests->request(m_currentDir);
}

void PavCloudAlbumViewController_iPad::fileDidQueryDirListSuccess(const DiskDirPtr&, const QList<DiskFilePtr>& files,
                                                                  const QList<DiskDirPtr>& dirs)
{
    // Only the answer to the newest listing request comes here.
    m_disk.setIgnoreThumbnailRequest(false);
    for (const QString& id : m_selection.ids()) {
        if (DiskFilePtr old = m_listing.photoWithId(id))
            old->setIsChecked(false);
    }
    m_selection.clear();
    m_listing.setListing(files, dirs);
    if (m_emptyView) {
        m_emptyView->setVisible(m_listing.isEmpty());
        m_bar->setEditEnabled(m_listing.hasPhotos());
        m_table->reloadData();
    }
    updateEditDisplay();
    if (!m_isSubPath)
        updateAlbumIconWithPhoto(m_listing.cover());
    endRefresh();
}

void PavCloudAlbumViewController_iPad::resumedUploadCompleted(const QString& dirKey)
{
    if (!m_currentDir || m_currentDir->dir_key() != dirKey || !m_cloud.isLogined())
        return;
    // Shown now, the folder is listed again; otherwise when it is shown next.
    if (isVisible())
        getPathList();
    else
        m_cloud.setIsUpdated(true);
}

void PavCloudAlbumViewController_iPad::fileDidQueryDirListFail(const DiskDirPtr&, const QString&)
{
    m_disk.setIgnoreThumbnailRequest(false);
    endRefresh();
}

void PavCloudAlbumViewController_iPad::endRefresh()
{
    if (containerController())
        PavProgressView::dismiss();
    m_isTableReloading = false;
    if (m_refreshTableHeaderView && m_table)
        m_refreshTableHeaderView->pavRefreshScrollViewDataSourceDidFinishedLoading(*m_table);
}

void PavCloudAlbumViewController_iPad::clearDisplayData()
{
    m_listingRequests->cancel();
    if (m_isEditing)
        quitEditModeNeedRefreshData(false, false);
    m_listing.clear();
    m_nextPageTimer.stop();
    m_pageLoading = false;
    if (m_table) {
        m_table->reloadData();
        m_bar->setEditEnabled(false);
    }
    if (!m_isSubPath && m_titleLabel) {
        m_titleLabel->clear();
        m_kyIcon->hide();
    }
}

void PavCloudAlbumViewController_iPad::pavRefreshTableHeaderDidTriggerRefresh(PavRefreshTableHeaderView*)
{
    m_isTableReloading = true;
    getPathList();
}

QDateTime PavCloudAlbumViewController_iPad::pavRefreshTableHeaderDataSourceLastUpdated(PavRefreshTableHeaderView*)
{
    return QDateTime::currentDateTimeUtc();
}

// ---- the album icon ----------------------------------------------------------

void PavCloudAlbumViewController_iPad::updateAlbumIconWithPhoto(const DiskFilePtr& photo)
{
    AlbumHost* container = containerController();
    m_iconPhoto = photo;
    if (!container)
        return;
    if (!photo) {
        container->resetAlbumIconToDefaultWithAlbumType(kCloudAlbumType);
        return;
    }
    const QString thumb = PavCloudPhotoView_iPad::thumbnailPath(photo);
    if (QFileInfo(thumb).size() > 0)
        showAlbumIcon(thumb);
    else
        m_disk.requestDownloadThumbnail(photo, this);
}

void PavCloudAlbumViewController_iPad::showAlbumIcon(const QString& thumbPath)
{
    AlbumHost* container = containerController();
    const QImage image = ImageCodec::decodeFile(thumbPath);
    if (!container || image.isNull())
        return;
    const QSize side(kIconSide, kIconSide);
    container->setAlbumIconWithAlbumType(
        kCloudAlbumType, QPixmap::fromImage(image.size() == side ? image : ImageCodec::thumbnailWithSize(image, side)));
}

void PavCloudAlbumViewController_iPad::thumbnailDownloadSuccess(const DiskFilePtr& file)
{
    // Only the cover of the listing on screen may change the icon.
    if (!file || file != m_iconPhoto)
        return;
    m_iconPhoto.reset();
    showAlbumIcon(PavCloudPhotoView_iPad::thumbnailPath(file));
}

void PavCloudAlbumViewController_iPad::thumbnailDonwloadFail(const DiskFilePtr& file, const DiskError&)
{
    if (file && file == m_iconPhoto)
        m_iconPhoto.reset();
}

// ---- the grid ----------------------------------------------------------------

int PavCloudAlbumViewController_iPad::numberOfRows(int)
{
    return m_listing.rowCount();
}

int PavCloudAlbumViewController_iPad::heightForRow(int, int row)
{
    return m_listing.rowHeight(row);
}

QWidget* PavCloudAlbumViewController_iPad::cellForRow(int, int row)
{
    if (m_listing.isMoreRow(row)) {
        buildMoreCell();
        return m_cloudMoreCell;
    }
    const auto [first, end] = m_listing.rowRange(row);
    QList<PavCloudPhotoView_iPad*> views;
    for (int i = first; i < end; ++i)
        views << new PavCloudPhotoView_iPad(QPoint(), m_listing.filesList()[i], this, m_disk);
    auto* cell = new PavCloudPhotoCell_iPad;
    cell->updatePhotoViews(views, row == 0);
    m_cellsInView.removeAll(nullptr);
    m_cellsInView.append(cell);   // its tiles ask for their thumbnails now
    return cell;
}

void PavCloudAlbumViewController_iPad::buildMoreCell()
{
    auto* cell = new QWidget;
    QFont font;
    font.setPixelSize(18);
    font.setBold(true);
    m_cloudMoreLabel = new QLabel(L("上拉加载更多"), cell);
    m_cloudMoreLoadingLabel = new QLabel(L("更多载入中..."), cell);
    for (QLabel* label : {m_cloudMoreLabel, m_cloudMoreLoadingLabel}) {
        label->setFont(font);
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(QStringLiteral("color: rgba(51, 51, 51, 128); background: transparent;"));
        label->setGeometry(248, 12, 120, 20);
    }
    m_cloudActivityIndicatorView = new ui::ActivityIndicator(cell, Qt::gray);
    m_cloudActivityIndicatorView->setGeometry(228, 12, 20, 20);
    m_cloudMoreLabel->setVisible(!m_pageLoading);
    m_cloudMoreLoadingLabel->setVisible(m_pageLoading);
    m_cloudActivityIndicatorView->setVisible(m_pageLoading);
    if (!m_pageLoading)
        m_cloudActivityIndicatorView->stopAnimating();
    m_cloudMoreCell = cell;
}

void PavCloudAlbumViewController_iPad::maybeLoadNextPage()
{
    QScrollBar* bar = m_table->verticalScrollBar();
    if (m_pageLoading || !m_listing.hasMore() || bar->maximum() <= 0 || bar->value() < bar->maximum())
        return;
    m_pageLoading = true;
    if (m_cloudMoreCell) {
        m_cloudActivityIndicatorView->show();
        m_cloudActivityIndicatorView->startAnimating();
        m_cloudMoreLabel->hide();
        m_cloudMoreLoadingLabel->show();
    }
    m_nextPageTimer.start();
}

void PavCloudAlbumViewController_iPad::retryRowsShownAgain()
{
    const QList<QWidget*> inView = m_table->visibleCells();
    for (QWidget* cell : inView) {
        if (m_cellsInView.contains(cell))
            continue;
        for (auto* tile : cell->findChildren<PavCloudPhotoView_iPad*>())
            tile->retryFailedThumbnail();
    }
    m_cellsInView = QList<QPointer<QWidget>>(inView.begin(), inView.end());
}

void PavCloudAlbumViewController_iPad::loadNextPage()
{
    m_pageLoading = false;
    m_nextPageTimer.stop();
    if (!m_listing.showNextPage())
        return;
    if (m_table)
        m_table->reloadData();
}

void PavCloudAlbumViewController_iPad::refreshVisibleMarks()
{
    if (!m_table)
        return;
    for (QWidget* cell : m_table->visibleCells()) {
        for (auto* tile : cell->findChildren<PavCloudPhotoView_iPad*>())
            tile->refreshMark(m_isEditing);
    }
}

// ---- tapping -----------------------------------------------------------------

void PavCloudAlbumViewController_iPad::cloudPhotoViewDidClick(const CloudEntry& entry, int type)
{
    if (type == PavCloudPhotoView_iPad::Folder && entry.dir) {
        recordUsage(kEventOpenFolder);
        auto* sub = new PavCloudAlbumViewController_iPad(m_c, true, entry.dir);
        sub->setContainerController(containerController());
        if (ui::NavigationStack* stack = navigationStack())
            stack->push(sub, true);
        else
            delete sub;
        return;
    }
    if (!entry.file)
        return;
    const QList<DiskFilePtr> photos = m_listing.shownPhotos();
    m_disk.requestStopAllDownloadThumbnail();
    if (m_c.openPhoto)
        m_c.openPhoto(entry.file, photos);
}

// ---- edit mode ---------------------------------------------------------------

QList<DiskFilePtr> PavCloudAlbumViewController_iPad::selectedPhotos() const
{
    QList<DiskFilePtr> out;
    for (const QString& id : m_selection.ids()) {
        if (DiskFilePtr file = m_listing.photoWithId(id))
            out.append(file);
    }
    return out;
}

void PavCloudAlbumViewController_iPad::editButtonClicked()
{
    recordUsage(kEventEdit);
    enterEditModeAnimated(true);
}

void PavCloudAlbumViewController_iPad::enterEditModeAnimated(bool animated)
{
    m_isEditing = true;
    if (m_refreshTableHeaderView)
        m_refreshTableHeaderView->hide();
    refreshVisibleMarks();
    if (animated)
        ui::Animations::fade(this, 300);
    updateEditDisplay();
}

void PavCloudAlbumViewController_iPad::quitEditModeNeedRefreshData(bool refresh, bool animated)
{
    m_isEditing = false;
    if (m_refreshTableHeaderView)
        m_refreshTableHeaderView->show();
    for (const DiskFilePtr& file : selectedPhotos())
        file->setIsChecked(false);
    m_selection.clear();
    if (refresh)
        getPathList();
    else if (m_table)
        m_table->reloadData();
    updateEditDisplay();
    if (animated)
        ui::Animations::fade(this, 300);
}

void PavCloudAlbumViewController_iPad::updateEditDisplay()
{
    if (m_bar)
        m_bar->showEditing(m_isEditing, m_selection.count());
}

void PavCloudAlbumViewController_iPad::cloudPhotoViewSelected(const CloudEntry& entry, int type)
{
    if (type != PavCloudPhotoView_iPad::Photo || !entry.file)
        return;
    m_selection.set(entry.file->file_id(), entry.file->isChecked());
    updateEditDisplay();
}
