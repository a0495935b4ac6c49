#pragma once

#include "platform/ui/Screen.h"

namespace ui {

class NavigationBar;

// A stack of screens with a navigation bar: only the top screen is shown.
// Push, pop, pop to root and replace-top run the appearance calls of the
// covered and uncovered screens in a fixed order (will-disappear of the
// old top, will-appear of the new, did-disappear, did-appear) while the stack
// itself is on screen. Pop at the root does nothing. Screens taken off the
// stack are deleted. The stack owns its screens.
class NavigationStack : public Screen {
    Q_OBJECT
public:
    explicit NavigationStack(Screen* root = nullptr, QWidget* parent = nullptr);

    void push(Screen* screen, bool animated = true);
    // Returns the popped screen (deleted later), or null at the root.
    Screen* pop(bool animated = true);
    void popToRoot(bool animated = true);
    // Pops every screen above `screen`; nothing when it is not on the stack.
    void popToScreen(Screen* screen, bool animated = true);
    // The screen right below `screen`, or null.
    Screen* screenBelow(Screen* screen) const;
    // Puts `screen` in place of the top screen.
    void replaceTop(Screen* screen, bool animated = true);

    QList<Screen*> screens() const;
    Screen* topScreen() const;
    Screen* rootScreen() const;
    int count() const { return int(m_screens.size()); }

    void setBarHidden(bool hidden);
    bool isBarHidden() const { return m_barHidden; }
    NavigationBar* navigationBar() const { return m_bar; }

signals:
    void topScreenChanged(ui::Screen* top);

protected:
    QList<Screen*> screensToForward() const override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void adopt(Screen* screen);
    void discard(Screen* screen);
    void showTop(Screen* from, bool animated);
    void refreshBar();
    QRect contentRect() const;

    QList<QPointer<Screen>> m_screens;
    NavigationBar* m_bar;
    bool m_barHidden = false;
};

}
