#pragma once

#include <QString>

namespace Uuid {
// A new random UUID as 36 upper-case characters with dashes.
QString create();
// Whether text has the form create() gives (hex digits of either case):
// a name read back from a store must pass this before it reaches a path.
bool isWellFormed(const QString& text);
}
