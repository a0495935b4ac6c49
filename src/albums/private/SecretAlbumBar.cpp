#include "albums/private/SecretAlbumBar.h"

#include "albums/widgets/AlbumBarButtons.h"
#include "platform/core/Localization.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ShadowLabel.h"

#include <QPainter>

SecretAlbumBar::SecretAlbumBar(const QRect& frame, QWidget* parent) : QWidget(parent)
{
    m_edit = AlbumBarButtons::icon(this, QStringLiteral("PavAlbum_EditButton_iPad.png"));
    m_cancel = AlbumBarButtons::action(this, L("取消"), QStringLiteral("PavAlbum_BlackButton"), 15);
    m_add = AlbumBarButtons::icon(this, QStringLiteral("PavAlbum_AddButton_iPad.png"));
    m_add->setBackgroundImageNamed(QStringLiteral("Disk_Toolbar_Button_Selected_iPad.png"), ui::ImageButton::Selected);
    m_add->setGeometry(20, 0, 50, 50);
    m_unlock = AlbumBarButtons::action(this, L("移出加密"), QStringLiteral("PavAlbum_GreenLongButton"), 18);
    m_unlock->setGeometry(8, 0, 118, 50);
    m_delete = AlbumBarButtons::action(this, L("删除"), QStringLiteral("PavAlbum_RedButton"), 18);
    m_delete->setGeometry(126, 0, 78, 50);
    m_count = AlbumBarButtons::countLabel(this);
    setGeometry(frame);
    layoutForWidth(frame.width());
    showEditing(false);
    setSelection(L("请选择照片"), false);
}

void SecretAlbumBar::layoutForWidth(int w)
{
    m_edit->setGeometry(w - 70, 0, 50, 50);
    m_cancel->setGeometry(w - 86, 0, 78, 50);
    m_count->setGeometry((w - 200) / 2, 0, 200, 46);
}

void SecretAlbumBar::showEditing(bool editing)
{
    m_unlock->setVisible(editing);
    m_delete->setVisible(editing);
    m_cancel->setVisible(editing);
    m_count->setVisible(editing);
    m_edit->setVisible(!editing);
    m_add->setVisible(!editing);
}

void SecretAlbumBar::setSelection(const QString& countText, bool actionsEnabled)
{
    m_count->setText(countText);
    m_unlock->setEnabled(actionsEnabled);
    m_delete->setEnabled(actionsEnabled);
}

void SecretAlbumBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutForWidth(width());
}

void SecretAlbumBar::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor(64, 68, 72));
}
