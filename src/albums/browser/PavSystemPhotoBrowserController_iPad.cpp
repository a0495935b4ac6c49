#include "albums/browser/PavSystemPhotoBrowserController_iPad.h"

#include "albums/browser/PavPhotoThumbnailListView_iPad.h"
#include "albums/browser/PavSystemPhotoScrollView.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/KyAssetsLibrary.h"
#include "platform/core/Localization.h"
#include "platform/photolib/AssetsLibrary.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ImageView.h"

#include <QLabel>

PavSystemPhotoBrowserController_iPad::PavSystemPhotoBrowserController_iPad(std::shared_ptr<AssetsLibrary> library,
                                                                           PavPhotoManager* store, QWidget* parent)
    : PavPhotoBrowserController_iPad(parent),
      m_library(library ? std::move(library) : KyAssetsLibrary::shareAssetsLibrary().library()),
      m_store(store ? store : &PavPhotoManager::sharedPavPhotoManager())
{
}

PavSystemPhotoBrowserController_iPad::~PavSystemPhotoBrowserController_iPad()
{
    m_libraryObserver.reset();
}

PavSystemPhotoBrowserController_iPad* PavSystemPhotoBrowserController_iPad::openBrowser(const QList<ALAssetPtr>& photos,
                                                                                       const ALAssetPtr& asset)
{
    auto* browser = new PavSystemPhotoBrowserController_iPad();
    browser->setPhotoArray(photos);
    browser->setAsset(asset);
    presentFromRoot(browser);
    return browser;
}

void PavSystemPhotoBrowserController_iPad::viewDidLoad()
{
    PavPhotoBrowserController_iPad::viewDidLoad();
    m_titleLabel = addTitleLabel(topBar()->rect());
    m_backButton = addBackButton();

    m_systemPhotoScrollView = new PavSystemPhotoScrollView(contentView()->rect(), contentView());
    m_systemPhotoScrollView->setDataSource(this);
    m_systemPhotoScrollView->setDelegate(this);
    m_systemPhotoThumbnailListView = new PavPhotoThumbnailListView_iPad(bottomView()->rect(), bottomView());
    m_systemPhotoThumbnailListView->setDataSource(this);
    m_systemPhotoThumbnailListView->setDelegate(this);
    m_systemPhotoScrollView->show();
    m_systemPhotoThumbnailListView->show();

    addEncryptedTipsView();
    addDoubleTap(m_systemPhotoScrollView);

    m_libraryObserver = NotificationCenter::defaultCenter().addObserver(
        KyAssetsLibrary::kChangedNotification, [this](const QVariantMap&) { assetsLibraryDidChanged(); });
}

void PavSystemPhotoBrowserController_iPad::addEncryptedTipsView()
{
    const QRect bar = topBar()->rect();
    m_encryptedTipsView = new QWidget(topBar());
    m_encryptedTipsView->setObjectName(QStringLiteral("encryptedTipsView"));
    m_encryptedTipsView->setGeometry(bar.width() - 206, (bar.height() - 36) / 2, 198, 36);
    m_encryptedTipsView->hide();
    auto* background = new ui::ImageView(QStringLiteral("PavAlbum_EncryptedTips_iPad.png"), m_encryptedTipsView);
    background->setGeometry(m_encryptedTipsView->rect());
    background->setCaps(QMargins(20, 5, 20, 5));
    auto* label = new QLabel(L("此照片已加密\n请手动删除系统相册的对应照片"), m_encryptedTipsView);
    label->setGeometry(35, 0, m_encryptedTipsView->width() - 35, m_encryptedTipsView->height());
    label->setWordWrap(true);
    QFont font = label->font();
    font.setPixelSize(10);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
}

void PavSystemPhotoBrowserController_iPad::viewWillAppear(bool animated)
{
    PavPhotoBrowserController_iPad::viewWillAppear(animated);
    m_systemPhotoThumbnailListView->reloadDataSource();
}

void PavSystemPhotoBrowserController_iPad::assetsLibraryDidChanged()
{
    if (m_closing)
        return;  // one close, however many notices follow
    m_closing = true;
    m_libraryObserver.reset();
    backButtonClicked();
}

int PavSystemPhotoBrowserController_iPad::indexOfAsset() const
{
    for (int i = 0; i < m_photoArray.size(); ++i) {
        if (m_photoArray[i] == m_asset)
            return i;
    }
    // The same photo from another listing.
    for (int i = 0; m_asset && i < m_photoArray.size(); ++i) {
        if (m_photoArray[i] && m_photoArray[i]->url() == m_asset->url())
            return i;
    }
    return -1;  // not in the list: the pager and the strip start at the first photo
}

ImageJob PavSystemPhotoBrowserController_iPad::imageJob(int index, QImage (AssetsLibrary::*read)(const PhotoAsset&)) const
{
    if (index < 0 || index >= m_photoArray.size() || !m_photoArray[index] || !m_library)
        return {};
    return [library = m_library, asset = m_photoArray[index]->asset(), read]() -> QImage {
        return asset ? ((*library).*read)(*asset) : QImage();
    };
}

int PavSystemPhotoBrowserController_iPad::pagesForPhotoScrollView(PavSystemPhotoScrollView*)
{
    return int(m_photoArray.size());
}

int PavSystemPhotoBrowserController_iPad::beginPageForPhotoScrollView(PavSystemPhotoScrollView*)
{
    return indexOfAsset();
}

ImageJob PavSystemPhotoBrowserController_iPad::photoScrollViewThumbnailAtIndex(PavSystemPhotoScrollView*, int index)
{
    return imageJob(index, &AssetsLibrary::aspectRatioThumbnail);
}

ImageJob PavSystemPhotoBrowserController_iPad::photoScrollViewFullScreenImageAtIndex(PavSystemPhotoScrollView*,
                                                                                     int index)
{
    return imageJob(index, &AssetsLibrary::fullScreenImage);
}

ImageJob PavSystemPhotoBrowserController_iPad::photoScrollViewFullResolutionImageAtIndex(PavSystemPhotoScrollView*,
                                                                                         int index)
{
    if (index < 0 || index >= m_photoArray.size() || !m_photoArray[index] || !m_library)
        return {};
    return [library = m_library, asset = m_photoArray[index]->asset()]() -> QImage {
        if (!asset)
            return {};
        ImageOrientation orientation = ImageOrientation::Up;
        const QImage raw = library->fullResolutionImage(*asset, &orientation);
        return applyOrientation(raw, orientation);
    };
}

void PavSystemPhotoBrowserController_iPad::photoScrollViewDidSelectAtIndex(PavSystemPhotoScrollView*, int index)
{
    if (index < 0 || index >= m_photoArray.size())
        return;
    m_titleLabel->setText(positionTitle(index + 1, int(m_photoArray.size())));
    if (isFullScreen())
        m_systemPhotoThumbnailListView->selectAtIndex(index, true);
    m_asset = m_photoArray[index];
    ui::Animations::fade(m_encryptedTipsView, kFadeMs);
    const bool encrypted = m_asset && m_asset->asset() && m_store->isEncrypted(*m_asset->asset());
    m_encryptedTipsView->setVisible(encrypted);
    if (m_asset)
        m_asset->setIsEncrypted(encrypted);
}

void PavSystemPhotoBrowserController_iPad::photoScrollViewWillBeginDecelerating(PavSystemPhotoScrollView*)
{
    enterFullScreenOnSwipe(m_systemPhotoThumbnailListView);
}

int PavSystemPhotoBrowserController_iPad::countForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad*)
{
    return int(m_photoArray.size());
}

ImageJob PavSystemPhotoBrowserController_iPad::photoThumbnailListViewThumbnailAtIndex(PavPhotoThumbnailListView_iPad*,
                                                                                      int index)
{
    return imageJob(index, &AssetsLibrary::thumbnail);
}

int PavSystemPhotoBrowserController_iPad::beginPageIndexForPhotoThumbnailListView(PavPhotoThumbnailListView_iPad*)
{
    return indexOfAsset();
}

void PavSystemPhotoBrowserController_iPad::photoThumbnailListViewDidSelectAtIndex(PavPhotoThumbnailListView_iPad*,
                                                                                 int index)
{
    if (index < 0 || index >= m_photoArray.size())
        return;
    m_asset = m_photoArray[index];
    if (!isFullScreen())
        m_systemPhotoScrollView->reloadDataSource();
}
