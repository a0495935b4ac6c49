#pragma once

#include <QLabel>
#include <QWidget>

namespace ui {
class ImageView;
}

// The placeholder of an empty album grid: an icon for the kind of emptiness
// (0 no photos, 1 no videos, 2 library refused, 3 no network), a tip and an
// optional curved pointer.
class PavAlbumEmptyView_iPad : public QWidget {
    Q_OBJECT
public:
    PavAlbumEmptyView_iPad(const QRect& frame, int type, const QString& tips, int contentOffsetY,
                           QWidget* parent = nullptr);

    void setType(int type);
    void setTips(const QString& tips);
    void setCurveHidden(bool hidden);

    ui::ImageView* iconImageView() const { return m_icon; }
    ui::ImageView* curveImageView() const { return m_curve; }
    QLabel* tipsLabel() const { return m_tips; }
    // The icon's image name, empty while none was set.
    const QString& iconName() const { return m_iconName; }

private:
    ui::ImageView* m_icon;
    ui::ImageView* m_curve;
    QLabel* m_tips;
    QString m_iconName;
};
