#include "albums/widgets/PavSecretPhotoView_iPad.h"

#include "albums/store/PavPhotoManager.h"
#include "albums/widgets/ImageLoadPool.h"
#include "platform/core/MainThread.h"
#include "platform/ui/ImageView.h"

#include <QPointer>
#include <QTimer>

#include <mutex>

namespace {
std::mutex g_readerMutex;
PavSecretPhotoView_iPad::ThumbnailReader g_reader;

QImage readThumbnail(const PavPhotoModel& photo)
{
    PavSecretPhotoView_iPad::ThumbnailReader reader;
    {
        std::lock_guard lock(g_readerMutex);
        reader = g_reader;
    }
    if (reader)
        return reader(photo);
    return PavPhotoManager::decryptPhoto(photo.photoPath() + QStringLiteral(".thumb"));
}
}

void PavSecretPhotoView_iPad::setThumbnailReader(ThumbnailReader reader)
{
    std::lock_guard lock(g_readerMutex);
    g_reader = std::move(reader);
}

PavSecretPhotoView_iPad::PavSecretPhotoView_iPad(const QPoint& origin, PavPhotoModelPtr photo,
                                                 PavSecretPhotoViewDelegate* delegate, QWidget* parent)
    : ui::ImageButton(parent), m_delegate(delegate)
{
    setGeometry(origin.x(), origin.y(), 118, 118);
    setBackgroundImageNamed(QStringLiteral("PavAlbum_PhotoFrame_iPad.png"), Normal);
    setBackgroundImageNamed(QStringLiteral("PavAlbum_PhotoFrame_selected_iPad.png"), Highlighted);
    m_photoImageView = new ui::ImageView(this);
    m_photoImageView->setGeometry(9, 9, 99, 99);
    m_photoImageView->setMode(ui::ImageView::Mode::AspectFit);
    m_photoImageView->setBackgroundColor(QColor(221, 223, 227));
    m_photoImageView->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_selectedView = new ui::ImageView(m_photoImageView);
    m_selectedView->setGeometry(70, 70, 29, 29);
    connect(this, &QAbstractButton::clicked, this, &PavSecretPhotoView_iPad::toggleSelection);
    setPhoto(std::move(photo));
}

void PavSecretPhotoView_iPad::showNamed(const QString& name)
{
    m_placeholder = name;
    m_photoImageView->setImageNamed(name);
}

void PavSecretPhotoView_iPad::setPhoto(PavPhotoModelPtr photo)
{
    m_photo = std::move(photo);
    ++m_generation;
    showNamed(QStringLiteral("PavAlbum_LoadingPhoto_iPad.png"));
    PavSecretPhotoViewDelegate* delegate = m_delegate.get();
    m_selectedView->setVisible(delegate && delegate->isEditing());
    m_selectedView->setImageNamed(m_photo && m_photo->isChecked() ? QStringLiteral("PavAssetsView_selected.png")
                                                                  : QStringLiteral("PavAssetsView_unselected.png"));
    // After the current pass, so a screen of rows is laid out first.
    QTimer::singleShot(0, this, &PavSecretPhotoView_iPad::ationToLoadImage);
}

void PavSecretPhotoView_iPad::ationToLoadImage()
{
    if (!m_photo)
        return;
    QPointer<PavSecretPhotoView_iPad> self(this);
    const quint64 generation = m_generation;
    const PavPhotoModelPtr photo = m_photo;
    ImageLoadPool::shared().run([self, generation, photo] {
        // Only whether it is gone: the tile may be mid-destruction on the main
        // thread, and turning the pointer into a tile here would read it.
        if (self.isNull())
            return;
        const QImage image = readThumbnail(*photo);
        MainThread::post([self, generation, image] {
            if (!self || self->m_generation != generation)
                return;  // gone, or showing another photo by now
            if (image.isNull() || image.size().isEmpty()) {
                self->showNamed(QStringLiteral("PavAlbum_LoadPhotoFailed_iPad.png"));
            } else {
                self->m_placeholder.clear();
                self->m_photoImageView->setImage(QPixmap::fromImage(image));
            }
        });
    });
}

void PavSecretPhotoView_iPad::setSelectedAnimated(bool)
{
    if (m_photo)
        m_photo->setIsChecked(true);
    m_selectedView->setImageNamed(QStringLiteral("PavAssetsView_selected.png"));
}

void PavSecretPhotoView_iPad::setDeselectedAnimated(bool)
{
    if (m_photo)
        m_photo->setIsChecked(false);
    m_selectedView->setImageNamed(QStringLiteral("PavAssetsView_unselected.png"));
}

void PavSecretPhotoView_iPad::toggleSelection()
{
    PavSecretPhotoViewDelegate* delegate = m_delegate.get();
    if (!delegate || !m_photo)
        return;
    if (delegate->isEditInSecretPhotoView()) {
        if (m_photo->isChecked())
            setDeselectedAnimated(true);
        else
            setSelectedAnimated(true);
        delegate->secretPhotoViewSelected(m_photo);
        return;
    }
    delegate->secretPhotoViewDidSelect(m_photo);
}
