#include "albums/store/ItemId.h"

#include <QRegularExpression>

const QString& ItemId::pattern()
{
    static const QString text =
        QStringLiteral("[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}");
    return text;
}

bool ItemId::isValid(const QString& id)
{
    static const QRegularExpression re(QStringLiteral("^%1$").arg(pattern()));
    return re.match(id).hasMatch();
}

bool ItemId::isFileName(const QString& name)
{
    static const QRegularExpression re(QStringLiteral("^%1(\\.thumb)?$").arg(pattern()));
    return re.match(name).hasMatch();
}
