#pragma once

#include <QString>

namespace Uuid {
// A new random UUID as 36 upper-case characters with dashes.
QString create();
}
