#include "albums/container/PavAlbumSelectionViewItem.h"

#include "platform/ui/Animations.h"
#include "platform/ui/ImageButton.h"

#include <QLabel>

namespace {
const char* const kNameColour = "rgb(195, 195, 195)";
const char* const kChosenNameColour = "rgb(51, 51, 51)";   // 0.2 grey

void colourName(QLabel* label, const char* colour)
{
    label->setStyleSheet(QString("background: transparent; color: %1;").arg(colour));
}
}

PavAlbumSelectionViewItem::PavAlbumSelectionViewItem(const QPoint& origin, QWidget* parent)
    : QWidget(parent), m_button(new ui::ImageButton(this)), m_name(new QLabel(this))
{
    setGeometry(QRect(origin, kSize));
    setFixedSize(kSize);

    m_button->setGeometry(19, 0, 190, 190);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setBackgroundImageNamed("PavAlbumIconFrame_iPad.png", ui::ImageButton::Normal);
    m_button->setBackgroundImageNamed("PavAlbumIconFrame_selected_iPad.png", ui::ImageButton::Highlighted);
    m_button->setBackgroundImageNamed("PavAlbumIconFrame_selected_iPad.png",
                                      ui::ImageButton::Highlighted | ui::ImageButton::Selected);

    m_name->setGeometry(19, 190, 190, 22);
    m_name->setAlignment(Qt::AlignCenter);
    QFont font = m_name->font();
    font.setPixelSize(22);
    m_name->setFont(font);
    colourName(m_name, kNameColour);
}

void PavAlbumSelectionViewItem::setSelected(bool selected)
{
    m_selected = selected;
    m_button->setSelected(selected);
    colourName(m_name, selected ? kChosenNameColour : kNameColour);
}

void PavAlbumSelectionViewItem::setAlbumButtonImageWithNormalImage(const QPixmap& normal, const QPixmap& selected)
{
    ui::Animations::fade(m_button, 400, QEasingCurve::InOutQuad);
    if (!normal.isNull()) {
        m_button->setImage(normal, ui::ImageButton::Normal);
        m_button->setImage(normal, ui::ImageButton::Highlighted);
    }
    if (!selected.isNull()) {
        m_button->setImage(selected, ui::ImageButton::Selected);
        m_button->setImage(selected, ui::ImageButton::Selected | ui::ImageButton::Highlighted);
    }
}
