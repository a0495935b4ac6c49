#pragma once

#include <QHash>
#include <QString>

// The one lookup every screen text goes through. The table is empty by
// default, so a text stands for itself; a translation table may replace
// entries at start.
class Localization {
public:
    static QString lookup(const QString& text);
    static void setEntry(const QString& text, const QString& translated);
    static void clear();
};

inline QString L(const char* text) { return Localization::lookup(QString::fromUtf8(text)); }
inline QString L(const QString& text) { return Localization::lookup(text); }
