#pragma once

#include <QDateTime>

// Source of the current time; tests inject a fake.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;   // UTC

    static Clock& system();
};

class SystemClock final : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTimeUtc(); }
};
