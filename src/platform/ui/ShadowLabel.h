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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color = Qt::black;
    QColor m_shadow;
    QPointF m_offset;
};

}
