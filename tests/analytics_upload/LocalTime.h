#pragma once

#include <QDateTime>

// A local wall-clock moment, as the UTC time a clock hands out.
inline QDateTime localTime(int y, int m, int d, int h, int min, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min, s), Qt::LocalTime).toUTC();
}
