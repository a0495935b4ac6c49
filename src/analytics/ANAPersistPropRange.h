#pragma once

#include <QMetaType>
#include <optional>

// A range condition of a store query: `mix` is the lower bound, `max` the
// upper one; either may be unset.
struct ANAPersistPropRange {
    std::optional<qint64> mix;
    std::optional<qint64> max;
};

Q_DECLARE_METATYPE(ANAPersistPropRange)
