#include "disk/DiskResumedUploads.h"

namespace {
const QString kCompleted = QStringLiteral("completed");
const QString kDirKey = QStringLiteral("dir_key");
}

ObserverToken DiskResumedUploads::addObserver(Observer observer)
{
    return m_observers.addObserver(kCompleted, [observer = std::move(observer)](const QVariantMap& info) {
        observer(info.value(kDirKey).toString());
    });
}

void DiskResumedUploads::fileUploadSuccess(const DiskFilePtr& file)
{
    if (file && file->fatherDir())
        m_observers.post(kCompleted, {{kDirKey, file->fatherDir()->dir_key()}});
}
