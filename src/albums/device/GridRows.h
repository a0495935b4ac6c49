#pragma once

#include <utility>

// Row arithmetic of the album grids: how many rows a section takes, how high
// each row is (the first row carries 8 points above the tiles, the last 8
// below), and which items a row shows.
namespace GridRows {

inline constexpr int kPhotosPerRow = 5;
inline constexpr int kVideosPerRow = 4;
inline constexpr int kSingleRowHeight = 134;
inline constexpr int kEdgeRowHeight = 126;
inline constexpr int kInnerRowHeight = 118;
inline constexpr int kHeaderHeight = 45;

inline int rowCount(int items, int perRow)
{
    return items <= 0 ? 0 : (items + perRow - 1) / perRow;
}

inline int rowHeight(int row, int rows)
{
    if (rows == 1)
        return kSingleRowHeight;
    return (row == 0 || row == rows - 1) ? kEdgeRowHeight : kInnerRowHeight;
}

// [first, end) of the items of one row, cut at the section's end.
inline std::pair<int, int> rowRange(int row, int items, int perRow)
{
    const int first = row * perRow;
    const int end = first + perRow < items ? first + perRow : items;
    return {first < items ? first : items, end};
}

}
