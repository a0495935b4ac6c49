#include "albums/widgets/AlbumRefreshHeader.h"

#include "Public/PavRefreshTableHeaderView.h"
#include "platform/ui/SectionedTable.h"

namespace AlbumRefreshHeader {

PavRefreshTableHeaderView* attach(ui::SectionedTable* table, const QSize& size,
                                  PavRefreshTableHeaderDelegate* delegate, Feed feed)
{
    auto* header = new PavRefreshTableHeaderView(QRect(0, -size.height(), size.width(), size.height()), nullptr);
    header->setDelegate(delegate);
    table->setRefreshHeader(header);
    header->show();  // a table already on screen shows no child added later by itself
    const bool always = feed == Feed::Always;
    QObject::connect(table, &ui::SectionedTable::didScroll, table, [table, header, always] {
        if (always || header->isVisible())
            header->pavRefreshScrollViewDidScroll(*table);
    });
    QObject::connect(table, &ui::SectionedTable::didEndDragging, table, [table, header, always] {
        if (always || header->isVisible())
            header->pavRefreshScrollViewDidEndDragging(*table);
    });
    return header;
}

}
