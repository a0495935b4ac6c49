#pragma once

#include "platform/core/Clock.h"

#include <QMutex>

// A clock that stands still until the test moves it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime now = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC)) : m_now(std::move(now)) {}

    QDateTime now() const override
    {
        QMutexLocker lock(&m_mutex);
        return m_now;
    }
    void setNow(const QDateTime& now)
    {
        QMutexLocker lock(&m_mutex);
        m_now = now.toUTC();
    }
    void advanceSeconds(qint64 seconds)
    {
        QMutexLocker lock(&m_mutex);
        m_now = m_now.addSecs(seconds);
    }

private:
    mutable QMutex m_mutex;
    QDateTime m_now;
};
