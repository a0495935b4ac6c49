#include "platform/core/Uuid.h"

#include <QUuid>

namespace Uuid {
QString create()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}
}
