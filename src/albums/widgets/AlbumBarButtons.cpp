#include "albums/widgets/AlbumBarButtons.h"

#include "platform/ui/ImageButton.h"

namespace AlbumBarButtons {

ui::ImageButton* action(QWidget* parent, const QString& title, const QString& image, int fontSize, int disabledAlpha,
                        const QMargins& titleInsets)
{
    auto* b = new ui::ImageButton(parent);
    b->setBackgroundImageNamed(image + QStringLiteral("_iPad.png"), ui::ImageButton::Normal);
    b->setBackgroundImageNamed(image + QStringLiteral("_selected_iPad.png"), ui::ImageButton::Highlighted);
    QFont font = b->font();
    font.setPixelSize(fontSize);
    b->setTitleFont(font);
    b->setTitle(title);
    b->setTitleColor(Qt::white);
    b->setTitleColor(QColor(255, 255, 255, disabledAlpha), ui::ImageButton::Disabled);
    b->setTitleInsets(titleInsets);
    return b;
}

ui::ImageButton* icon(QWidget* parent, const QString& image)
{
    auto* b = new ui::ImageButton(parent);
    b->setImageNamed(image);
    b->setShowsTouchWhenHighlighted(true);
    return b;
}

}
