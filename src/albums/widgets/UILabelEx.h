#pragma once

#include "platform/core/DelegateRef.h"

#include <QColor>
#include <QFont>
#include <QLabel>

class UILabelEx;

class UILabelExDelegate {
public:
    virtual ~UILabelExDelegate() = default;
    // A touch ended inside the label (labelEx:touchesWithTag:).
    virtual void labelEx(UILabelEx* label, int tag) = 0;
};

// A one-line label that underlines its shown text and reports a press that
// is released inside it, for links in text.
class UILabelEx : public QLabel {
    Q_OBJECT
public:
    static constexpr QRgb kPressedColor = qRgb(59, 136, 195);

    UILabelEx(const QRect& frame, qreal lineWidth, QWidget* parent = nullptr);

    void setDelegate(UILabelExDelegate* delegate) { m_delegate.reset(delegate); }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // The font given to the label when it is made; changing it later leaves
    // the shown font (font()) as it is.
    QFont defaultFont() const { return m_defaultFont; }
    void setDefaultFont(const QFont& font) { m_defaultFont = font; }
    QColor defaultColor() const { return m_defaultColor; }
    void setDefaultColor(const QColor& color);
    qreal defaultLineWidth() const { return m_lineWidth; }

    // The text as drawn (cut with an ellipsis when wider than the label).
    QString shownText() const;
    // Where the underline runs: from (0, y) to (width, y).
    QLineF underline() const;
    QColor textColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setTextColor(const QColor& color);

    DelegateRef<UILabelExDelegate> m_delegate;
    QFont m_defaultFont;
    QColor m_defaultColor = Qt::white;
    qreal m_lineWidth;
    int m_tag = 0;
};
