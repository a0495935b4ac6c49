#include "albums/widgets/PavAlbumTableHeaderView_iPad.h"

#include "platform/core/Localization.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ShadowLabel.h"

namespace {
const QColor kGrey(51, 51, 51);

template <typename Label>
Label* greyLabel(QWidget* parent, Qt::Alignment alignment)
{
    auto* label = new Label(parent);
    QFont font = label->font();
    font.setPixelSize(18);
    label->setFont(font);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setStyleSheet(QStringLiteral("color: rgb(51, 51, 51); background: transparent;"));
    return label;
}
}

PavAlbumTableHeaderView_iPad::PavAlbumTableHeaderView_iPad(const QRect& frame, bool isEditing, QWidget* parent)
    : QWidget(parent), m_isEditing(isEditing)
{
    setGeometry(frame);
    auto* background = new ui::ImageView(QStringLiteral("subTitle_iPad_2.png"), this);
    background->setBackgroundColor(Qt::white);
    background->setGeometry(0, 0, frame.width(), 45);

    m_checkAllButton = new ui::ImageButton(this);
    m_checkAllButton->setGeometry(5, -2, 46, 46);
    m_checkAllButton->setImageNamed(QStringLiteral("PavAlbum_CheckBox_unselected_iPad.png"), ui::ImageButton::Normal);
    m_checkAllButton->setImageNamed(QStringLiteral("PavAlbum_CheckBox_selected_iPad.png"), ui::ImageButton::Selected);
    connect(m_checkAllButton, &QAbstractButton::clicked, this, &PavAlbumTableHeaderView_iPad::checkAllButtonClicked);

    m_titleLabel = greyLabel<QLabel>(this, Qt::AlignLeft);
    m_photoCountLabel = greyLabel<ui::ShadowLabel>(this, Qt::AlignRight);
    m_photoCountLabel->setTextColor(kGrey);
    m_photoCountLabel->setElideMode(Qt::ElideRight);
    m_photoCountLabel->setGeometry(frame.width() - 116, 0, 100, 45);
    setIsEditing(isEditing);
}

void PavAlbumTableHeaderView_iPad::setIsEditing(bool editing)
{
    m_isEditing = editing;
    m_checkAllButton->setVisible(editing);
    m_photoCountLabel->setVisible(editing);
    m_titleLabel->setGeometry(editing ? 51 : 18, 0, 160, 45);
}

void PavAlbumTableHeaderView_iPad::setTitle(const QString& title)
{
    m_titleLabel->setText(title);
}

void PavAlbumTableHeaderView_iPad::setPhotoCount(unsigned count)
{
    m_photoCountLabel->setText(L("%1张照片").arg(count));
}

void PavAlbumTableHeaderView_iPad::modifyCheckAllButton(bool selected)
{
    m_checkAllButton->setSelected(selected);
}

void PavAlbumTableHeaderView_iPad::checkAllButtonClicked()
{
    PavAlbumTableHeaderViewDelegate* delegate = m_delegate.get();
    const bool enabled = delegate && delegate->isAlbumTableHeaderViewEnable();
    const bool next = !m_checkAllButton->isSelected();
    modifyCheckAllButton(next);
    if (enabled)
        delegate->albumTableHeaderView(this, next);
}
