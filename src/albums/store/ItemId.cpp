#include "albums/store/ItemId.h"

#include "Public/PavEncryptManager.h"
#include "platform/core/RegularFile.h"
#include "platform/core/Uuid.h"

const QString& ItemId::pattern()
{
    static const QString text =
        QStringLiteral("[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}");
    return text;
}

bool ItemId::isValid(const QString& id)
{
    return Uuid::isWellFormed(id);
}

bool ItemId::isFileName(const QString& name)
{
    const QLatin1StringView thumb(".thumb");
    return Uuid::isWellFormed(name.endsWith(thumb) ? name.chopped(thumb.size()) : name);
}

qint64 ItemId::readCap(const QString& path)
{
    return path.endsWith(QLatin1StringView(".thumb")) ? RegularFile::Cap::kThumbnail
                                                      : PavEncryptManager::maxFileSize();
}
