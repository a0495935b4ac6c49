#include "albums/widgets/AlbumBarButtons.h"

#include "platform/core/Localization.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ShadowLabel.h"

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

ui::ShadowLabel* countLabel(QWidget* parent)
{
    auto* label = new ui::ShadowLabel(L("请选择照片"), parent);
    label->setFontSize(17, true);
    label->setTextColor(Qt::white);
    label->setShadow(QColor(34, 34, 34), QPointF(0, 0.5));
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}
