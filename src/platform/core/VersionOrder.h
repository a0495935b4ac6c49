#pragma once

#include <QString>

// The order of application version strings (the stored one against the
// running build's).
class VersionOrder {
public:
    // True when a orders before b; a null a (no version stored) is before
    // any. Dotted numbers compare numerically ("2.9" is before "2.10"),
    // other texts by their characters.
    static bool isOlder(const QString& a, const QString& b);
};
