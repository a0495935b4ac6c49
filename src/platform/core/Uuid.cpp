#include "platform/core/Uuid.h"

#include <QRegularExpression>
#include <QUuid>

namespace Uuid {
QString create()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

bool isWellFormed(const QString& text)
{
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        QStringLiteral("[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}")));
    return form.match(text).hasMatch();
}
}
