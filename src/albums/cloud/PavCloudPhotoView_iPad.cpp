#include "albums/cloud/PavCloudPhotoView_iPad.h"

#include "disk/DiskManager.h"
#include "platform/ui/ImageView.h"

#include <QFileInfo>
#include <QLabel>

namespace {
const QColor kLoadingBackground = QColor::fromRgbF(0.867f, 0.875f, 0.890f);
const QString kLoading = QStringLiteral("PavAlbum_LoadingPhoto_iPad.png");
const QString kFailed = QStringLiteral("PavAlbum_LoadPhotoFailed_iPad.png");
}

PavCloudPhotoView_iPad::PavCloudPhotoView_iPad(const QPoint& origin, CloudEntry entry,
                                               PavCloudPhotoViewDelegate* delegate, DiskManager& disk, QWidget* parent)
    : ui::ImageButton(parent), m_entry(std::move(entry)), m_delegate(delegate), m_disk(disk)
{
    setGeometry(origin.x(), origin.y(), 118, 118);
    connect(this, &QAbstractButton::clicked, this, &PavCloudPhotoView_iPad::toggleSelection);
    if (type() == Folder) {
        setBackgroundImageNamed(QStringLiteral("PavAlbum_FolderIcon_big_iPad.png"));
        m_nameLabel = new QLabel(this);
        m_nameLabel->setGeometry(9, 96, 100, 14);
        m_nameLabel->setAlignment(Qt::AlignCenter);
        QFont font = m_nameLabel->font();
        font.setPixelSize(14);
        m_nameLabel->setFont(font);
        m_nameLabel->setText(m_nameLabel->fontMetrics().elidedText(m_entry.dir->dir_name(), Qt::ElideMiddle, 100));
        m_nameLabel->setAttribute(Qt::WA_TransparentForMouseEvents);
        return;
    }
    setBackgroundImageNamed(QStringLiteral("PavAlbum_PhotoFrame_iPad.png"), Normal);
    setBackgroundImageNamed(QStringLiteral("PavAlbum_PhotoFrame_selected_iPad.png"), Highlighted);
    m_photoImageView = new ui::ImageView(this);
    m_photoImageView->setMode(ui::ImageView::Mode::AspectFit);
    m_photoImageView->setGeometry(9, 9, 99, 99);
    m_photoImageView->setAttribute(Qt::WA_TransparentForMouseEvents);
    loadThumbnail();
    m_selectedView = new ui::ImageView(m_photoImageView);
    m_selectedView->setGeometry(70, 70, 29, 29);
    refreshMark(delegate && delegate->editStateOfCloudPhotoViewDelegate());
}

void PavCloudPhotoView_iPad::loadThumbnail()
{
    const QString thumb = thumbnailPath(m_entry.file);
    if (QFileInfo(thumb).size() > 0) {
        showThumbnail(thumb);
    } else {
        showNamed(kLoading);
        m_disk.requestDownloadThumbnail(m_entry.file, this);
    }
}

void PavCloudPhotoView_iPad::retryFailedThumbnail()
{
    if (type() == Photo && m_shown == kFailed)
        loadThumbnail();
}

QString PavCloudPhotoView_iPad::thumbnailPath(const DiskFilePtr& file)
{
    return file ? file->file_path() + QStringLiteral(".thumb") : QString();
}

void PavCloudPhotoView_iPad::showThumbnail(const QString& path)
{
    const QPixmap image(path);
    if (image.isNull()) {
        showNamed(kFailed);
        return;
    }
    m_shown = path;
    m_photoImageView->setBackgroundColor(Qt::white);
    m_photoImageView->setImage(image);
}

void PavCloudPhotoView_iPad::showNamed(const QString& name)
{
    m_shown = name;
    m_photoImageView->setBackgroundColor(kLoadingBackground);
    m_photoImageView->setImageNamed(name);
}

void PavCloudPhotoView_iPad::refreshMark(bool editing)
{
    if (!m_selectedView)
        return;
    const bool checked = editing && m_entry.file->isChecked();
    m_selectedView->setVisible(editing);
    m_selectedView->setImageNamed(checked ? QStringLiteral("PavAssetsView_selected.png")
                                          : QStringLiteral("PavAssetsView_unselected.png"));
}

void PavCloudPhotoView_iPad::setSelectedAnimated(bool)
{
    if (type() != Photo)
        return;
    m_entry.file->setIsChecked(true);
    m_selectedView->setImageNamed(QStringLiteral("PavAssetsView_selected.png"));
}

void PavCloudPhotoView_iPad::setDeselectedAnimated(bool)
{
    if (type() != Photo)
        return;
    m_entry.file->setIsChecked(false);
    m_selectedView->setImageNamed(QStringLiteral("PavAssetsView_unselected.png"));
}

void PavCloudPhotoView_iPad::toggleSelection()
{
    PavCloudPhotoViewDelegate* delegate = m_delegate.get();
    if (!delegate)
        return;
    if (!delegate->editStateOfCloudPhotoViewDelegate()) {
        delegate->cloudPhotoViewDidClick(m_entry, type());
        return;
    }
    if (type() != Photo)
        return;   // folders ignore taps in edit mode
    if (m_entry.file->isChecked())
        setDeselectedAnimated(true);
    else
        setSelectedAnimated(true);
    delegate->cloudPhotoViewSelected(m_entry, type());
}

void PavCloudPhotoView_iPad::stopThumbnail()
{
    if (type() == Photo)
        m_disk.requestStopDownloadThumbnail(m_entry.file);
}

void PavCloudPhotoView_iPad::thumbnailDownloadSuccess(const DiskFilePtr& file)
{
    if (file != m_entry.file || !parentWidget()) {
        showNamed(kFailed);
        return;
    }
    const QString thumb = thumbnailPath(file);
    if (QFileInfo(thumb).size() > 0)
        showThumbnail(thumb);
    else
        showNamed(kFailed);
}

void PavCloudPhotoView_iPad::thumbnailDonwloadFail(const DiskFilePtr&, const DiskError&)
{
    showNamed(kFailed);
}
