#include "albums/device/DayTitle.h"

#include "platform/core/Localization.h"

QString DayTitle::titleFor(const QDate& day, const QDate& today)
{
    if (day == today)
        return L("今天");
    if (day == today.addDays(-1))
        return L("昨天");
    if (day.year() == today.year())
        return L("%1月%2日").arg(day.month()).arg(day.day());
    return L("%1年%2月%3日").arg(day.year()).arg(day.month()).arg(day.day());
}
