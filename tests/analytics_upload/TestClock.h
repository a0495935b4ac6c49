#pragma once

#include "platform/core/Clock.h"

#include <QDateTime>

#include <mutex>

// A clock the test sets by hand.
class TestClock final : public Clock {
public:
    explicit TestClock(QDateTime start = QDateTime::currentDateTimeUtc()) : m_now(std::move(start)) {}
    QDateTime now() const override
    {
        std::lock_guard lock(m_mutex);
        return m_now;
    }
    void set(const QDateTime& t)
    {
        std::lock_guard lock(m_mutex);
        m_now = t;
    }
    void advanceSeconds(qint64 s) { set(now().addSecs(s)); }
    // A local wall-clock moment, kept inside as UTC.
    static QDateTime local(int y, int m, int d, int h, int min, int s = 0)
    {
        return QDateTime(QDate(y, m, d), QTime(h, min, s), Qt::LocalTime).toUTC();
    }

private:
    mutable std::mutex m_mutex;
    QDateTime m_now;
};
