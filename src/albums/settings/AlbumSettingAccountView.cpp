#include "albums/settings/AlbumSettingAccountView.h"

#include "albums/settings/AccountSpace.h"
#include "platform/core/Localization.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"

#include <QLabel>

namespace {

QFont textFont(int pixels, bool bold = false)
{
    QFont f;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

}

AlbumSettingAccountView::AlbumSettingAccountView(QWidget* parent) : QWidget(parent)
{
    resize(kWidth, kHeight);
    auto* picture = new ui::ImageView("PavCloudAlbum_ShowView_iPad.png", this);
    picture->setGeometry(15, 9, 97, 97);
    picture->setMode(ui::ImageView::Mode::AspectFit);
    addLabel(QRect(127, 20, 83, 20), L("Ky账号："));
    m_accountLabel = addLabel(QRect(205, 20, 150, 20), QStringLiteral("10000"));
    addLabel(QRect(127, 46, 100, 20), L("已用空间："));
    m_amountLabel = addLabel(QRect(212, 46, 150, 20), QStringLiteral("0B/0B"));

    auto* track = new ui::ImageView("process_bg_iPad.png", this);
    track->setCaps(QMargins(3, 3, 3, 3));
    track->setGeometry(127, 75, 330, 20);
    m_capacity = new ui::ImageView("syc_btn.png", this);
    m_capacity->setCaps(QMargins(3, 3, 3, 3));
    m_capacity->setGeometry(127, 76, 165, 18);

    m_logoutButton = new ui::ImageButton(this);
    m_logoutButton->setGeometry(20, 123, 434, 53);
    m_logoutButton->setBackgroundImageNamed("PavCloudAlbum_LogoutButton_iPad.png");
    m_logoutButton->setBackgroundImageNamed("PavCloudAlbum_LogoutButton_selected_iPad.png", ui::ImageButton::Highlighted);
    m_logoutButton->setTitle(L("退出登录"));
    m_logoutButton->setTitleColor(Qt::white);
    m_logoutButton->setTitleShadowColor(Qt::gray);
    m_logoutButton->setTitleFont(textFont(24, true));
    connect(m_logoutButton, &ui::ImageButton::clicked, this, &AlbumSettingAccountView::logoutClicked);
}

QLabel* AlbumSettingAccountView::addLabel(const QRect& frame, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setGeometry(frame);
    label->setFont(textFont(18));
    label->setStyleSheet(QStringLiteral("background: transparent; color: rgb(4, 4, 4);"));
    return label;
}

void AlbumSettingAccountView::refreshAmount(const DiskUser* user)
{
    if (!user)
        return;
    m_accountLabel->setText(user->uin() ? QString::number(*user->uin()) : QString());
    m_amountLabel->setText(AccountSpace::amountText(user->used_space(), user->total_space()));
    if (const std::optional<double> width = AccountSpace::filledWidth(user->used_space(), user->total_space())) {
        QRect frame = m_capacity->geometry();
        frame.setWidth(int(*width));
        m_capacity->setGeometry(frame);
    }
}
