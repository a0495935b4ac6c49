#include "platform/core/VersionOrder.h"

#include <QVersionNumber>

bool VersionOrder::isOlder(const QString& a, const QString& b)
{
    if (a.isNull())
        return true;
    qsizetype aRest = 0;
    qsizetype bRest = 0;
    const QVersionNumber x = QVersionNumber::fromString(a, &aRest);
    const QVersionNumber y = QVersionNumber::fromString(b, &bRest);
    const bool numeric = !x.isNull() && !y.isNull() && aRest == a.size() && bRest == b.size();
    if (numeric)
        return QVersionNumber::compare(x, y) < 0;
    return QString::compare(a, b) < 0;
}
