#include "albums/store/PavPhotoModel.h"

#include "platform/core/Uuid.h"

QString PavPhotoModel::createFileUUID()
{
    return Uuid::create();
}
