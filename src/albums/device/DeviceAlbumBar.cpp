#include "albums/device/DeviceAlbumBar.h"

#include "albums/widgets/AlbumBarButtons.h"
#include "albums/widgets/PavDoubleSlider.h"
#include "platform/core/Localization.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ShadowLabel.h"

#include <QPainter>

DeviceAlbumBar::DeviceAlbumBar(const QRect& frame, QWidget* parent) : QWidget(parent)
{
    const int w = frame.width();
    m_cancel = AlbumBarButtons::action(this, L("取消"), QStringLiteral("PavAlbum_BlackButton"), 15);
    m_backupEdit = AlbumBarButtons::icon(this, QStringLiteral("PavAlbum_UploadButton_iPad.png"));
    m_backupEdit->setGeometry(90, 0, 50, 50);
    m_backup = AlbumBarButtons::action(this, L("备份"), QStringLiteral("PavAlbum_GreenButton"), 18);
    m_backup->setGeometry(8, 0, 78, 50);
    m_lockEdit = AlbumBarButtons::icon(this, QStringLiteral("PavAlbum_LockButton_iPad.png"));
    m_lockEdit->setGeometry(20, 0, 50, 50);
    m_lock = AlbumBarButtons::action(this, L("加密"), QStringLiteral("PavAlbum_GreenButton"), 18);
    m_lock->setGeometry(8, 0, 78, 50);
    m_slider = new PavDoubleSlider(QRect(w - 118, 0, 110, 50), L("照片"), L("视频"), this);
    m_count = AlbumBarButtons::countLabel(this);

    connect(m_cancel, &QAbstractButton::clicked, this, &DeviceAlbumBar::cancelClicked);
    connect(m_lock, &QAbstractButton::clicked, this, &DeviceAlbumBar::lockClicked);
    connect(m_backup, &QAbstractButton::clicked, this, &DeviceAlbumBar::backupClicked);
    connect(m_lockEdit, &QAbstractButton::clicked, this, [this] { emit editClicked(EditBar::Entry::Lock); });
    connect(m_backupEdit, &QAbstractButton::clicked, this, [this] { emit editClicked(EditBar::Entry::Backup); });
    apply(EditBar::look(EditBar::State{}));
    setGeometry(frame);
    layoutForWidth(w);
}

void DeviceAlbumBar::layoutForWidth(int w)
{
    // The right-hand items and the count label follow the bar's width.
    m_cancel->setGeometry(w - 86, 0, 78, 50);
    m_slider->move(w - 118, 0);
    m_count->setGeometry((w - 200) / 2, 0, 200, 46);
}

void DeviceAlbumBar::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutForWidth(width());
}

void DeviceAlbumBar::apply(const EditBar::Look& look)
{
    m_cancel->setVisible(look.cancelVisible);
    m_count->setVisible(look.countVisible);
    m_lock->setVisible(look.lockVisible);
    m_backup->setVisible(look.backupVisible);
    m_lockEdit->setVisible(look.lockEditVisible);
    m_backupEdit->setVisible(look.backupEditVisible);
    m_slider->setVisible(look.sliderVisible);
    m_lockEdit->setEnabled(look.editButtonsEnabled);
    m_backupEdit->setEnabled(look.editButtonsEnabled);
    m_lock->setEnabled(look.actionsEnabled);
    m_backup->setEnabled(look.actionsEnabled);
    m_count->setText(look.countText);
}

void DeviceAlbumBar::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), QColor(64, 68, 72));
}
