#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Formats a date with a Unicode date pattern ("yyyy-MM-dd HH:mm:ss.SSS",
// "yyyy年M月d日", quoted 'literal' text), the pattern language the album's
// screens and file names are written in. The date is formatted in its own
// time zone; convert it first.
//
// Fields: y (year; yy the last two digits), M (month; MMM/MMMM names),
// d (day), D (day of year), F (weekday ordinal in the month), E (weekday
// name; EEEE long), a (AM/PM), H (0-23), h (1-12), k (1-24), K (0-11),
// m, s, S (fraction of a second, one digit per letter). A letter repeated
// n times pads numbers to n digits; other letters and characters are copied.
class DateFormatPattern {
public:
    static QString format(const QDateTime& date, const QString& pattern, const QLocale& locale = QLocale());

private:
    static QString field(const QDateTime& date, QChar letter, int count, const QLocale& locale);
};
