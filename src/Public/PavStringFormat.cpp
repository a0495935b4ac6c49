#include "Public/PavStringFormat.h"

QString PavStringFormat::kmgStringForNumber(quint64 bytes)
{
    if (bytes < 1024)
        return QString::number(bytes) + "B";
    static const char* const units[] = {"KB", "MB", "GB"};
    double value = double(bytes) / 1024.0;
    int unit = 0;
    // Move up while the figure would show as 1024.0 or more.
    while (unit < 2 && value >= 1023.95) {
        value /= 1024.0;
        ++unit;
    }
    return QString::number(value, 'f', 1) + units[unit];
}
