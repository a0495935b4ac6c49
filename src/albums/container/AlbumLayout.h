#pragma once

#include <QRect>

// Where an album screen sits in the album tab: right of the selector strip,
// on the fixed 1024 x 768 canvas. Screens size their content to it before
// the container has placed them.
namespace AlbumLayout {
inline constexpr QRect kContentFrame{248, 11, 615, 748};
}
