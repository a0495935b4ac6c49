#pragma once

#include "albums/store/PavPhotoModel.h"
#include "platform/core/DelegateRef.h"
#include "platform/ui/ImageButton.h"

#include <functional>

namespace ui {
class ImageView;
}

class PavSecretPhotoViewDelegate {
public:
    virtual ~PavSecretPhotoViewDelegate() = default;
    virtual bool isEditInSecretPhotoView() = 0;
    virtual bool isEditing() { return isEditInSecretPhotoView(); }
    virtual void secretPhotoViewDidSelect(const PavPhotoModelPtr& photo) { Q_UNUSED(photo); }
    virtual void secretPhotoViewSelected(const PavPhotoModelPtr& photo) { Q_UNUSED(photo); }
};

// A tile of the private album grid: a framed thumbnail deciphered from the
// store on the shared bounded pool, with a selection mark in edit mode.
// Always 118 × 118 at the given origin. A tile that is gone or shows another
// photo by the time its thumbnail is ready ignores it.
class PavSecretPhotoView_iPad : public ui::ImageButton {
    Q_OBJECT
public:
    // Reads a thumbnail; the default deciphers "<photoPath>.thumb" through
    // PavPhotoManager. Tests replace it.
    using ThumbnailReader = std::function<QImage(const PavPhotoModel& photo)>;
    static void setThumbnailReader(ThumbnailReader reader);

    PavSecretPhotoView_iPad(const QPoint& origin, PavPhotoModelPtr photo, PavSecretPhotoViewDelegate* delegate,
                            QWidget* parent = nullptr);

    const PavPhotoModelPtr& photo() const { return m_photo; }
    // Shows another photo in this tile (a reused tile).
    void setPhoto(PavPhotoModelPtr photo);
    ui::ImageView* photoImageView() const { return m_photoImageView; }
    ui::ImageView* selectedView() const { return m_selectedView; }
    // The image name the thumbnail view shows while it shows a named image.
    const QString& placeholderName() const { return m_placeholder; }

    void ationToLoadImage();
    void toggleSelection();
    void setSelectedAnimated(bool animated);
    void setDeselectedAnimated(bool animated);

private:
    void showNamed(const QString& name);

    PavPhotoModelPtr m_photo;
    DelegateRef<PavSecretPhotoViewDelegate> m_delegate;
    ui::ImageView* m_photoImageView;
    ui::ImageView* m_selectedView;
    QString m_placeholder;
    quint64 m_generation = 0;
};
