#pragma once

#include "platform/ui/PavRefreshScrollView.h"

#include <QHash>
#include <QPointer>
#include <QScrollArea>

#include <vector>

namespace ui {

// What a sectioned table shows: per section a header and rows of given
// heights. Widgets are asked for only while their place is in view (or near
// it); the table owns them and drops them once they are far out of view.
class SectionedTableSource {
public:
    virtual ~SectionedTableSource() = default;
    virtual int numberOfSections() = 0;
    virtual int numberOfRows(int section) = 0;
    virtual int heightForRow(int section, int row) = 0;
    virtual int heightForHeader(int section) = 0;
    virtual QWidget* viewForHeader(int section) = 0;
    virtual QWidget* cellForRow(int section, int row) = 0;
    // Clear space below a section's rows.
    virtual int heightForFooter(int section) { (void)section; return 0; }
};

// A plain table of sections (an album grid): a vertical scroll area whose
// content is laid out from the source and built lazily as it scrolls. It
// also serves a pull-to-refresh header: a drag down from the top pulls the
// content (contentOffsetY goes negative) until released.
class SectionedTable : public QScrollArea, public PavRefreshScrollView {
    Q_OBJECT
public:
    explicit SectionedTable(QWidget* parent = nullptr);
    ~SectionedTable() override;

    void setSource(SectionedTableSource* source) { m_source = source; }
    void reloadData();

    // Built widgets that are at least partly in view, top to bottom.
    QList<QWidget*> visibleCells() const;
    QList<QWidget*> visibleHeaders() const;
    int contentHeight() const { return m_total; }
    // Rectangle of a row in content coordinates.
    QRect rectForRow(int section, int row) const;

    // Widgets laid over the table's visible area (empty views); they keep
    // its size.
    void addOverlay(QWidget* overlay);
    // The pull-to-refresh header, kept just above the content.
    void setRefreshHeader(QWidget* header);

    double contentOffsetY() const override;
    bool isDragging() const override { return m_dragging; }
    double contentInsetTop() const override { return m_insetTop; }
    void setContentInsetTop(double inset) override;

    // Pull input, also driven by tests: pull down by dy points, then release.
    void dragPull(double dy);
    void endDrag();

signals:
    void didScroll();
    void didEndDragging();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    struct Key {
        int section;
        int row;  // -1: the header
        bool operator==(const Key& o) const { return section == o.section && row == o.row; }
    };
    friend size_t qHash(const Key& k, size_t seed) { return qHashMulti(seed, k.section, k.row); }

    void layoutVisible();
    void placeDecorations();
    QRect rectFor(const Key& key) const;

    SectionedTableSource* m_source = nullptr;
    QWidget* m_content;
    std::vector<int> m_sectionTop;                 // y of each section's header
    std::vector<std::vector<int>> m_rowTops;       // y of each row
    std::vector<int> m_headerHeights;
    std::vector<std::vector<int>> m_rowHeights;
    int m_total = 0;
    QHash<Key, QPointer<QWidget>> m_built;
    QList<QPointer<QWidget>> m_overlays;
    QPointer<QWidget> m_refreshHeader;
    double m_pull = 0;
    double m_insetTop = 0;
    bool m_dragging = false;
    int m_pressY = 0;
};

}
