#include "albums/cloud/CloudAlbumBar.h"

#include "albums/widgets/AlbumBarButtons.h"
#include "platform/core/Localization.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ShadowLabel.h"

#include <QPainter>

namespace {

// The cloud bar's action buttons: half-dimmed when disabled, titles centred.
ui::ImageButton* titledButton(QWidget* parent, const QString& title, const QString& image, int fontSize)
{
    return AlbumBarButtons::action(parent, title, image, fontSize, 128, QMargins());
}

}

CloudAlbumBar::CloudAlbumBar(const QRect& frame, QWidget* parent) : QWidget(parent)
{
    m_edit = AlbumBarButtons::icon(this, QStringLiteral("PavAlbum_EditButton_iPad.png"));
    m_add = new ui::ImageButton(this);
    m_add->setImageNamed(QStringLiteral("PavAlbum_AddButton_iPad.png"));
    m_add->setBackgroundImageNamed(QStringLiteral("Disk_Toolbar_Button_Selected_iPad.png"), ui::ImageButton::Selected);
    m_add->setGeometry(8, 0, 50, 50);
    m_cancel = titledButton(this, L("取消"), QStringLiteral("PavAlbum_BlackButton"), 15);
    m_save = titledButton(this, L("存至本地"), QStringLiteral("PavAlbum_GreenLongButton"), 18);
    m_save->setGeometry(8, 0, 108, 50);
    m_delete = titledButton(this, L("删除"), QStringLiteral("PavAlbum_RedButton"), 18);
    m_delete->setGeometry(120, 0, 78, 50);
    m_count = AlbumBarButtons::countLabel(this);

    connect(m_edit, &QAbstractButton::clicked, this, &CloudAlbumBar::editClicked);
    connect(m_add, &QAbstractButton::clicked, this, &CloudAlbumBar::addClicked);
    connect(m_cancel, &QAbstractButton::clicked, this, &CloudAlbumBar::cancelClicked);
    connect(m_save, &QAbstractButton::clicked, this, &CloudAlbumBar::saveClicked);
    connect(m_delete, &QAbstractButton::clicked, this, &CloudAlbumBar::deleteClicked);
    setGeometry(frame);
    layoutForWidth(frame.width());
    showEditing(false, 0);
}

void CloudAlbumBar::layoutForWidth(int w)
{
    m_edit->setGeometry(w - 58, 0, 50, 50);
    m_cancel->setGeometry(w - 86, 0, 78, 50);
    m_count->setGeometry((w - 200) / 2, 0, 200, 46);
}

void CloudAlbumBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutForWidth(width());
}

void CloudAlbumBar::showEditing(bool editing, int selected)
{
    m_edit->setVisible(!editing);
    m_add->setVisible(!editing);
    m_cancel->setVisible(editing);
    m_save->setVisible(editing);
    m_delete->setVisible(editing);
    m_count->setVisible(editing);
    m_save->setEnabled(selected > 0);
    m_delete->setEnabled(selected > 0);
    m_count->setText(selected > 0 ? L("已选择%1张照片").arg(selected) : L("请选择照片"));
}

void CloudAlbumBar::setEditEnabled(bool enabled)
{
    m_edit->setEnabled(enabled);
}

void CloudAlbumBar::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor::fromRgbF(0.251f, 0.267f, 0.282f));
}
