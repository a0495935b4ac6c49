#include "platform/ui/SectionedTable.h"

#include <QMouseEvent>
#include <QScrollBar>

#include <algorithm>

namespace ui {

namespace {
// Widgets this far beyond the visible area are built ahead / kept.
constexpr int kMargin = 300;
}

SectionedTable::SectionedTable(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Scrolled by wheel and drag; the grid keeps its full width.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(false);
    setAttribute(Qt::WA_TranslucentBackground);
    viewport()->setAutoFillBackground(false);
    m_content = new QWidget;
    m_content->setAutoFillBackground(false);
    setWidget(m_content);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        layoutVisible();
        emit didScroll();
    });
}

SectionedTable::~SectionedTable() = default;

void SectionedTable::reloadData()
{
    for (const QPointer<QWidget>& w : std::as_const(m_built)) {
        if (w)
            w->deleteLater();
    }
    m_built.clear();
    m_sectionTop.clear();
    m_rowTops.clear();
    m_headerHeights.clear();
    m_rowHeights.clear();
    int y = 0;
    const int sections = m_source ? m_source->numberOfSections() : 0;
    for (int s = 0; s < sections; ++s) {
        m_sectionTop.push_back(y);
        m_headerHeights.push_back(m_source->heightForHeader(s));
        y += m_headerHeights.back();
        std::vector<int> tops, heights;
        const int rows = m_source->numberOfRows(s);
        for (int r = 0; r < rows; ++r) {
            tops.push_back(y);
            heights.push_back(m_source->heightForRow(s, r));
            y += heights.back();
        }
        y += m_source->heightForFooter(s);
        m_rowTops.push_back(std::move(tops));
        m_rowHeights.push_back(std::move(heights));
    }
    m_total = y;
    m_content->resize(viewport()->width(), std::max(m_total, 1));
    layoutVisible();
}

QRect SectionedTable::rectFor(const Key& key) const
{
    if (key.row < 0)
        return QRect(0, m_sectionTop[key.section], m_content->width(), m_headerHeights[key.section]);
    return QRect(0, m_rowTops[key.section][key.row], m_content->width(), m_rowHeights[key.section][key.row]);
}

QRect SectionedTable::rectForRow(int section, int row) const
{
    if (section < 0 || section >= static_cast<int>(m_rowTops.size()) || row < 0
        || row >= static_cast<int>(m_rowTops[section].size()))
        return {};
    return rectFor(Key{section, row});
}

void SectionedTable::layoutVisible()
{
    if (!m_source)
        return;
    const int top = verticalScrollBar()->value() - kMargin;
    const int bottom = verticalScrollBar()->value() + viewport()->height() + kMargin;
    // Drop what is far out of view.
    for (auto it = m_built.begin(); it != m_built.end();) {
        const QRect r = rectFor(it.key());
        if (!it.value() || r.bottom() < top || r.top() > bottom) {
            if (it.value())
                it.value()->deleteLater();
            it = m_built.erase(it);
        } else {
            ++it;
        }
    }
    auto build = [&](const Key& key) {
        if (m_built.contains(key))
            return;
        QWidget* w = key.row < 0 ? m_source->viewForHeader(key.section) : m_source->cellForRow(key.section, key.row);
        if (!w)
            return;
        w->setParent(m_content);
        w->setGeometry(rectFor(key));
        w->show();
        m_built.insert(key, w);
    };
    // First section whose end lies below top.
    for (size_t s = 0; s < m_sectionTop.size(); ++s) {
        const int sectionEnd = s + 1 < m_sectionTop.size() ? m_sectionTop[s + 1] : m_total;
        if (sectionEnd < top)
            continue;
        if (m_sectionTop[s] > bottom)
            break;
        const int si = static_cast<int>(s);
        if (m_sectionTop[s] + m_headerHeights[s] >= top)
            build(Key{si, -1});
        const std::vector<int>& tops = m_rowTops[s];
        // Rows are sorted by y: start at the first row reaching top.
        auto first = std::upper_bound(tops.begin(), tops.end(), top);
        int r = static_cast<int>(std::max<std::ptrdiff_t>(0, (first - tops.begin()) - 1));
        for (; r < static_cast<int>(tops.size()) && tops[r] <= bottom; ++r)
            build(Key{si, r});
    }
}

QList<QWidget*> SectionedTable::visibleCells() const
{
    QList<QPair<int, QWidget*>> found;
    const int top = verticalScrollBar()->value();
    const int bottom = top + viewport()->height();
    for (auto it = m_built.cbegin(); it != m_built.cend(); ++it) {
        const QRect r = rectFor(it.key());
        if (it.key().row >= 0 && it.value() && r.bottom() >= top && r.top() <= bottom)
            found.append({r.top(), it.value().data()});
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    QList<QWidget*> out;
    for (const auto& f : found)
        out.append(f.second);
    return out;
}

QList<QWidget*> SectionedTable::visibleHeaders() const
{
    QList<QWidget*> out;
    for (auto it = m_built.cbegin(); it != m_built.cend(); ++it) {
        if (it.key().row < 0 && it.value())
            out.append(it.value().data());
    }
    return out;
}

void SectionedTable::addOverlay(QWidget* overlay)
{
    overlay->setParent(viewport());
    overlay->setGeometry(viewport()->rect());
    m_overlays.append(overlay);
}

void SectionedTable::setRefreshHeader(QWidget* header)
{
    m_refreshHeader = header;
    header->setParent(viewport());
    placeDecorations();
}

void SectionedTable::placeDecorations()
{
    const int shift = static_cast<int>(std::max(m_pull, m_insetTop));
    m_content->move(0, shift - verticalScrollBar()->value());
    if (m_refreshHeader) {
        const int h = m_refreshHeader->height() > 0 ? m_refreshHeader->height() : viewport()->height();
        m_refreshHeader->setGeometry(0, shift - h - verticalScrollBar()->value(), viewport()->width(), h);
        m_refreshHeader->lower();
    }
    for (const QPointer<QWidget>& o : m_overlays) {
        if (o)
            o->setGeometry(viewport()->rect());
    }
}

double SectionedTable::contentOffsetY() const
{
    return verticalScrollBar()->value() - std::max(m_pull, m_insetTop);
}

void SectionedTable::setContentInsetTop(double inset)
{
    m_insetTop = inset;
    placeDecorations();
}

void SectionedTable::dragPull(double dy)
{
    m_dragging = true;
    m_pull = std::max(0.0, dy);
    placeDecorations();
    emit didScroll();
}

void SectionedTable::endDrag()
{
    emit didEndDragging();  // the header reads the pull before it springs back
    m_dragging = false;
    m_pull = 0;
    placeDecorations();
    emit didScroll();
}

void SectionedTable::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    m_content->resize(viewport()->width(), std::max(m_total, 1));
    for (auto it = m_built.begin(); it != m_built.end(); ++it) {
        if (it.value())
            it.value()->setGeometry(rectFor(it.key()));
    }
    placeDecorations();
    layoutVisible();
}

bool SectionedTable::viewportEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (verticalScrollBar()->value() == 0)
            m_pressY = static_cast<QMouseEvent*>(event)->position().toPoint().y();
        else
            m_pressY = -1;
        break;
    case QEvent::MouseMove:
        if (m_pressY >= 0 && (static_cast<QMouseEvent*>(event)->buttons() & Qt::LeftButton))
            dragPull((static_cast<QMouseEvent*>(event)->position().toPoint().y() - m_pressY) / 2.0);
        break;
    case QEvent::MouseButtonRelease:
        if (m_dragging)
            endDrag();
        m_pressY = -1;
        break;
    default:
        break;
    }
    return QScrollArea::viewportEvent(event);
}

}
