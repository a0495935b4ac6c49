#pragma once

#include "disk/DiskUser.h"

#include <QWidget>

class QLabel;

namespace ui {
class ImageButton;
class ImageView;
}

// The signed-in cloud account as the settings' cloud row shows it (474 ×
// 195): picture, account number, used / total space with its bar, and the
// "退出登录" button.
class AlbumSettingAccountView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 474;
    static constexpr int kHeight = 195;

    explicit AlbumSettingAccountView(QWidget* parent = nullptr);

    // Fills the texts and the bar from the account (nothing for null).
    void refreshAmount(const DiskUser* user);

    QLabel* accountLabel() const { return m_accountLabel; }
    QLabel* amountLabel() const { return m_amountLabel; }
    ui::ImageView* amountCapacityImageView() const { return m_capacity; }
    ui::ImageButton* logoutButton() const { return m_logoutButton; }

signals:
    void logoutClicked();

private:
    QLabel* addLabel(const QRect& frame, const QString& text);

    QLabel* m_accountLabel;
    QLabel* m_amountLabel;
    ui::ImageView* m_capacity;
    ui::ImageButton* m_logoutButton;
};
