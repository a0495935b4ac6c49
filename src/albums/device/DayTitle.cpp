#include "albums/device/DayTitle.h"

QString DayTitle::titleFor(const QDate& day, const QDate& today)
{
    if (day == today)
        return QStringLiteral("今天");
    if (day == today.addDays(-1))
        return QStringLiteral("昨天");
    if (day.year() == today.year())
        return QStringLiteral("%1月%2日").arg(day.month()).arg(day.day());
    return QStringLiteral("%1年%2月%3日").arg(day.year()).arg(day.month()).arg(day.day());
}
