#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace ui {

// Makes a modal (alert, action sheet, presented sheet, processing panel)
// take the keyboard of its window while it is up. Of the holds started in a
// window, the one whose holder lies visually on top gets the keys: a key
// meant for any other widget of that window is dropped (shortcuts too), so
// nothing behind the modal acts on it; Tab and Shift+Tab move the focus
// only among the holder's own widgets. Escape, when it reaches no widget of
// the holder that takes it, runs the escape handler. No grab of the
// display's keyboard: other programs and other windows keep theirs.
//
// Main thread only. start() moves the focus into the holder when its hold
// is on top; stop() gives the focus back to the widget that had it (or to
// the hold now on top). Destruction stops the hold without moving the focus.
class KeyboardHold : public QObject {
    Q_OBJECT
public:
    explicit KeyboardHold(QWidget* holder);
    ~KeyboardHold() override;

    // With `takeFocus` false the focus stays where it is (keys meant for it
    // are dropped all the same).
    void start(bool takeFocus = true);
    void stop();
    bool isHolding() const { return m_holding; }
    void setEscapeHandler(std::function<void()> handler) { m_onEscape = std::move(handler); }

    // The hold that gets the keys of `window` now (null when none).
    static KeyboardHold* topFor(const QWidget* window);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool holds(const QWidget* widget) const;
    void moveFocusWithin(bool forward);
    void unregister();

    QPointer<QWidget> m_holder;
    QPointer<QWidget> m_focusBefore;
    std::function<void()> m_onEscape;
    bool m_holding = false;
};

}
