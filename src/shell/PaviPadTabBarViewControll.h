#pragma once

#include <QList>
#include <QWidget>

namespace ui {
class ImageButton;
}

// The root controller's own tab bar: a column on the left (150 points wide
// in landscape) with one button per tab; the chosen one is marked.
class PaviPadTabBarViewControll : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 150;
    static constexpr int kItemHeight = 120;

    explicit PaviPadTabBarViewControll(QWidget* parent = nullptr);

    // Adds a tab with its caption and the drawn image shown on it.
    int addItem(const QString& title, const QString& imageName);
    int count() const { return int(m_items.size()); }
    ui::ImageButton* itemAt(int index) const { return m_items.value(index); }
    void setSelectedIndex(int index);
    int selectedIndex() const { return m_selected; }

signals:
    void itemTapped(int index);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QList<ui::ImageButton*> m_items;
    int m_selected = -1;
};
