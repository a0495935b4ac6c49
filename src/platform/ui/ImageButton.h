#pragma once

#include <QAbstractButton>
#include <QHash>
#include <QMargins>
#include <QPixmap>

namespace ui {

// A custom button with per-state images, background images, titles and
// title colours (normal, highlighted, selected, selected + highlighted,
// disabled). A state without its own value falls back to the normal one.
// Highlighted is the pressed state; clicked() fires on release inside.
class ImageButton : public QAbstractButton {
    Q_OBJECT
public:
    enum State : unsigned { Normal = 0, Highlighted = 1, Selected = 2, Disabled = 4 };

    explicit ImageButton(QWidget* parent = nullptr);

    void setImage(const QPixmap& image, unsigned state = Normal);
    void setImageNamed(const QString& name, unsigned state = Normal);
    // caps: the edges kept unscaled when the background is stretched.
    void setBackgroundImage(const QPixmap& image, unsigned state = Normal, QMargins caps = {});
    void setBackgroundImageNamed(const QString& name, unsigned state = Normal, QMargins caps = {});
    void setTitle(const QString& title, unsigned state = Normal);
    void setTitleColor(const QColor& color, unsigned state = Normal);
    void setTitleShadowColor(const QColor& color, unsigned state = Normal);
    void setTitleShadowOffset(QPointF offset) { m_shadowOffset = offset; update(); }
    void setTitleFont(const QFont& font);
    void setTitleInsets(QMargins insets) { m_titleInsets = insets; update(); }
    void setShowsTouchWhenHighlighted(bool glow) { m_glow = glow; }
    // Where the image sits in the button (centred by default).
    void setContentAlignment(Qt::Alignment alignment) { m_contentAlignment = alignment; update(); }

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
    bool isHighlighted() const { return isDown(); }
    unsigned currentState() const;

    QPixmap currentImage() const;
    QPixmap currentBackgroundImage() const;
    QString currentTitle() const;
    QColor currentTitleColor() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    template <typename T>
    T lookup(const QHash<unsigned, T>& map) const;

    QHash<unsigned, QPixmap> m_images;
    QHash<unsigned, QPixmap> m_backgrounds;
    QHash<unsigned, QMargins> m_caps;
    QHash<unsigned, QString> m_titles;
    QHash<unsigned, QColor> m_titleColors;
    QHash<unsigned, QColor> m_shadowColors;
    QPointF m_shadowOffset;
    QMargins m_titleInsets;
    bool m_selected = false;
    bool m_glow = false;
    Qt::Alignment m_contentAlignment = Qt::AlignCenter;
};

}
