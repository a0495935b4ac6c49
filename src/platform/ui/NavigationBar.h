#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace ui {

class Screen;

// The bar at the top of a navigation stack: the top screen's title in the
// middle, its left item (or a back button) and its right item.
class NavigationBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kHeight = 44;

    explicit NavigationBar(QWidget* parent = nullptr);

    // Shows the items of `top`; showBack offers the back button when the
    // screen has no left item of its own.
    void showItemsOf(Screen* top, bool showBack);

    QPushButton* leftButton() const { return m_left; }
    QPushButton* rightButton() const { return m_right; }
    QLabel* titleLabel() const { return m_title; }

signals:
    void backRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutItems();

    QLabel* m_title;
    QPushButton* m_left;
    QPushButton* m_right;
    bool m_leftIsBack = false;
};

}
