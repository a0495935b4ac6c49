#pragma once

#include <QLabel>

namespace ui {

// A one-line label with an optional text shadow (colour and offset).
class ShadowLabel : public QLabel {
    Q_OBJECT
public:
    explicit ShadowLabel(QWidget* parent = nullptr);
    ShadowLabel(const QString& text, QWidget* parent = nullptr);

    void setTextColor(const QColor& color);
    QColor textColor() const { return m_color; }
    void setShadow(const QColor& color, QPointF offset);
    void setFontSize(int points, bool bold = false);
    // How a text too long for the label is shortened (not at all by default).
    void setElideMode(Qt::TextElideMode mode) { m_elide = mode; update(); }
    // The text as drawn.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color = Qt::black;
    QColor m_shadow;
    QPointF m_offset;
    Qt::TextElideMode m_elide = Qt::ElideNone;
};

}
