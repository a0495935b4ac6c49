#pragma once

#include <QWidget>

class QLabel;
namespace ui {
class ImageView;
}

// A table row on the table background images, with a title on the left, an
// optional detail text on the right and an arrow (indicatorView) at its right
// edge.
class PaviPadTableViewCell : public QWidget {
    Q_OBJECT
public:
    static constexpr int kIndicatorWidth = 10;
    static constexpr int kIndicatorHeight = 15;

    explicit PaviPadTableViewCell(QWidget* parent = nullptr);

    QLabel* textLabel() const { return m_text; }
    QLabel* detailTextLabel() const { return m_detail; }
    ui::ImageView* indicatorView() const { return m_indicator; }
    void setHighlighted(bool highlighted);
    bool isHighlighted() const { return m_highlighted; }

signals:
    void tapped();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QLabel* m_text;
    QLabel* m_detail;
    ui::ImageView* m_indicator;
    bool m_highlighted = false;
};
