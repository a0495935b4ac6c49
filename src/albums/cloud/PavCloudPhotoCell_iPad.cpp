#include "albums/cloud/PavCloudPhotoCell_iPad.h"

#include "albums/cloud/PavCloudPhotoView_iPad.h"

PavCloudPhotoCell_iPad::~PavCloudPhotoCell_iPad()
{
    for (PavCloudPhotoView_iPad* view : photoViews())
        view->stopThumbnail();
}

void PavCloudPhotoCell_iPad::updatePhotoViews(const QList<PavCloudPhotoView_iPad*>& views, bool isTop)
{
    removeSubPhotoViews();
    updateTiles(QList<QWidget*>(views.begin(), views.end()), isTop);
}

QList<PavCloudPhotoView_iPad*> PavCloudPhotoCell_iPad::photoViews() const
{
    QList<PavCloudPhotoView_iPad*> out;
    for (QWidget* tile : tiles()) {
        if (auto* view = qobject_cast<PavCloudPhotoView_iPad*>(tile))
            out.append(view);
    }
    return out;
}

void PavCloudPhotoCell_iPad::removeSubPhotoViews()
{
    const QList<PavCloudPhotoView_iPad*> views = photoViews();
    for (PavCloudPhotoView_iPad* view : views) {
        view->stopThumbnail();
        view->setParent(nullptr);
        view->deleteLater();
    }
    updateTiles({}, isTop());
}
