#pragma once

#include <QSize>

class PavRefreshTableHeaderDelegate;
class PavRefreshTableHeaderView;

namespace ui {
class SectionedTable;
}

// The pull-to-refresh header of the album grids.
namespace AlbumRefreshHeader {

// Whether a hidden header still follows the table's scrolls and drag ends.
enum class Feed { WhileVisible, Always };

// Lays a header of the given size above table's content, telling delegate,
// and feeds it the table's scrolls and drag ends (only while it is visible,
// unless feed says always).
PavRefreshTableHeaderView* attach(ui::SectionedTable* table, const QSize& size,
                                  PavRefreshTableHeaderDelegate* delegate, Feed feed = Feed::WhileVisible);

}
