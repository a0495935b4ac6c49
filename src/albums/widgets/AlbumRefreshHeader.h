#pragma once

#include <QSize>

class PavRefreshTableHeaderDelegate;
class PavRefreshTableHeaderView;

namespace ui {
class SectionedTable;
}

// The pull-to-refresh header of the album grids.
namespace AlbumRefreshHeader {

// Lays a header of the given size above table's content, telling delegate,
// and feeds it the table's scrolls and drag ends while it is visible.
PavRefreshTableHeaderView* attach(ui::SectionedTable* table, const QSize& size,
                                  PavRefreshTableHeaderDelegate* delegate);

}
