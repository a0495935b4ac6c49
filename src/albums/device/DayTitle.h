#pragma once

#include "platform/core/Clock.h"

#include <QDate>
#include <QString>
#include <QTimeZone>

// Section titles of the album grids: "今天", "昨天", "M月D日" in the current
// year, "Y年M月D日" otherwise. Days are calendar days in one zone, so the day
// after a daylight-saving change or a new year still finds its yesterday.
class DayTitle {
public:
    DayTitle(const Clock& clock, QTimeZone zone) : m_clock(clock), m_zone(std::move(zone)) {}

    QDate today() const { return m_clock.now().toTimeZone(m_zone).date(); }
    QDate dayOf(const QDateTime& when) const { return when.toTimeZone(m_zone).date(); }
    const QTimeZone& zone() const { return m_zone; }

    QString title(const QDate& day) const { return titleFor(day, today()); }
    static QString titleFor(const QDate& day, const QDate& today);

private:
    const Clock& m_clock;
    QTimeZone m_zone;
};
