#include "platform/core/DateFormatPattern.h"

namespace {
QString padded(qint64 value, int width)
{
    return QString::number(value).rightJustified(width, QLatin1Char('0'));
}
}

QString DateFormatPattern::field(const QDateTime& date, QChar letter, int count, const QLocale& locale)
{
    const QDate day = date.date();
    const QTime time = date.time();
    switch (letter.unicode()) {
    case 'y':
        return count == 2 ? padded(day.year() % 100, 2) : padded(day.year(), count);
    case 'M':
        if (count >= 4)
            return locale.monthName(day.month(), QLocale::LongFormat);
        if (count == 3)
            return locale.monthName(day.month(), QLocale::ShortFormat);
        return padded(day.month(), count);
    case 'd':
        return padded(day.day(), count);
    case 'D':
        return padded(day.dayOfYear(), count);
    case 'F':
        return padded((day.day() - 1) / 7 + 1, count);
    case 'E':
        return locale.dayName(day.dayOfWeek(), count >= 4 ? QLocale::LongFormat : QLocale::ShortFormat);
    case 'a':
        return time.hour() < 12 ? locale.amText() : locale.pmText();
    case 'H':
        return padded(time.hour(), count);
    case 'h':
        return padded(time.hour() % 12 == 0 ? 12 : time.hour() % 12, count);
    case 'k':
        return padded(time.hour() == 0 ? 24 : time.hour(), count);
    case 'K':
        return padded(time.hour() % 12, count);
    case 'm':
        return padded(time.minute(), count);
    case 's':
        return padded(time.second(), count);
    case 'S': {
        // Milliseconds as a fraction: first `count` digits, zeros beyond three.
        const QString fraction = padded(time.msec(), 3) + QString(qMax(0, count - 3), QLatin1Char('0'));
        return fraction.left(count);
    }
    default:
        return QString(count, letter);
    }
}

QString DateFormatPattern::format(const QDateTime& date, const QString& pattern, const QLocale& locale)
{
    QString out;
    const int n = int(pattern.size());
    for (int i = 0; i < n;) {
        const QChar c = pattern[i];
        if (c == QLatin1Char('\'')) {
            // '' is a quote; otherwise copy up to the closing quote.
            if (i + 1 < n && pattern[i + 1] == QLatin1Char('\'')) {
                out += c;
                i += 2;
                continue;
            }
            int j = i + 1;
            while (j < n) {
                if (pattern[j] == QLatin1Char('\'')) {
                    if (j + 1 < n && pattern[j + 1] == QLatin1Char('\'')) {
                        out += QLatin1Char('\'');
                        j += 2;
                        continue;
                    }
                    break;
                }
                out += pattern[j++];
            }
            i = j + 1;
            continue;
        }
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))) {
            int j = i;
            while (j < n && pattern[j] == c)
                ++j;
            out += field(date, c, j - i, locale);
            i = j;
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}
