#include "platform/core/PavDateUtil.h"

#include "platform/core/DateFormatPattern.h"

QDateTime PavDateUtil::pavDateOfToday(const QDateTime& date, const QTimeZone& zone)
{
    // startOfDay copes with a day whose midnight is skipped by a clock change.
    return date.toTimeZone(zone).date().startOfDay(zone).toUTC();
}

QDateTime PavDateUtil::pavDateByAddDay(const QDateTime& date, int days)
{
    return QDateTime::fromSecsSinceEpoch(date.toSecsSinceEpoch() + qint64(days) * 86400, QTimeZone::utc());
}

QString PavDateUtil::pavReadableDateStringWithFormat(const QDateTime& date, const QString& pattern,
                                                     const QTimeZone& zone)
{
    return DateFormatPattern::format(date.toTimeZone(zone), pattern);
}

QDateTime PavDateUtil::pavToday(const Clock& clock, const QTimeZone& zone)
{
    return pavDateOfToday(clock.now(), zone);
}
