#pragma once

#include "platform/core/Clock.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

// Day helpers of the shared calendar (the local time zone unless a zone is
// given). Dates go in and come out as UTC instants.
class PavDateUtil {
public:
    // The day of `date` at 00:00.
    static QDateTime pavDateOfToday(const QDateTime& date, const QTimeZone& zone = QTimeZone::systemTimeZone());
    // The whole seconds since 1970 of `date` plus days × 86400 (not calendar
    // days: across a daylight-saving change the result is an hour off a
    // calendar day).
    static QDateTime pavDateByAddDay(const QDateTime& date, int days);
    // `date` in `zone`, formatted with a Unicode date pattern (DateFormatPattern).
    static QString pavReadableDateStringWithFormat(const QDateTime& date, const QString& pattern,
                                                   const QTimeZone& zone = QTimeZone::systemTimeZone());
    // The current day at 00:00.
    static QDateTime pavToday(const Clock& clock = Clock::system(),
                              const QTimeZone& zone = QTimeZone::systemTimeZone());
};
