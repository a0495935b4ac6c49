#include "albums/widgets/PavAlbumEmptyView_iPad.h"

#include "platform/ui/ImageView.h"

PavAlbumEmptyView_iPad::PavAlbumEmptyView_iPad(const QRect& frame, int type, const QString& tips, int contentOffsetY,
                                               QWidget* parent)
    : QWidget(parent)
{
    setGeometry(frame);
    m_icon = new ui::ImageView(this);
    m_icon->setMode(ui::ImageView::Mode::Center);
    m_icon->setGeometry(236, 204 - contentOffsetY, 140, 100);
    m_curve = new ui::ImageView(QStringLiteral("PavAlbum_NoPhotoCurve_iPad.png"), this);
    m_curve->setGeometry(34, 357 - contentOffsetY, 180, 340);
    m_curve->hide();
    m_tips = new QLabel(tips, this);
    m_tips->setGeometry(158, 326 - contentOffsetY, 300, 80);
    m_tips->setAlignment(Qt::AlignCenter);
    m_tips->setWordWrap(true);
    QFont font = m_tips->font();
    font.setPixelSize(18);
    m_tips->setFont(font);
    m_tips->setStyleSheet(QStringLiteral("color: rgb(196, 200, 205); background: transparent;"));
    setType(type);
}

void PavAlbumEmptyView_iPad::setType(int type)
{
    static const char* const names[] = {"PavAlbum_NoPhoto_iPad.png", "PavAlbum_NoVideo_iPad.png",
                                        "PavAlbum_LocationOff_iPad.png", "PavAlbum_NoNetwork_iPad.png"};
    if (type < 0 || type > 3)
        return;  // any other kind leaves the icon as it was
    m_iconName = QString::fromLatin1(names[type]);
    m_icon->setImageNamed(m_iconName);
}

void PavAlbumEmptyView_iPad::setTips(const QString& tips)
{
    m_tips->setText(tips);
}

void PavAlbumEmptyView_iPad::setCurveHidden(bool hidden)
{
    m_curve->setVisible(!hidden);
    const QRect r = m_tips->geometry();
    m_tips->setGeometry(hidden ? 158 : 214, r.y(), r.width(), r.height());
    m_tips->setAlignment((hidden ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
}
