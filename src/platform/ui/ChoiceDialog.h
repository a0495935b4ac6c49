#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class QPushButton;

namespace ui {

class KeyboardHold;

// Common base of alerts and action sheets: a tag, indexed buttons and the two
// answers (a button was clicked; the dialog went away with a button index).
// A shown dialog lies on an input-swallowing overlay of the canvas and
// deletes itself after it is dismissed. While shown it takes the keyboard
// of its window (see KeyboardHold): nothing behind it acts on a key. Tests find shown dialogs through
// showing() / showingWithTag() and answer them with clickButtonAtIndex().
class ChoiceDialog : public QWidget {
    Q_OBJECT
public:
    ~ChoiceDialog() override;

    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    QString title() const { return m_title; }
    QString message() const { return m_message; }

    int addButtonWithTitle(const QString& title);
    int numberOfButtons() const { return int(m_buttons.size()); }
    QString buttonTitleAtIndex(int index) const { return m_buttons.value(index); }
    int cancelButtonIndex() const { return m_cancelIndex; }
    // The first button that is not the cancel button (-1 when none).
    int firstOtherButtonIndex() const;

    bool isShowing() const { return m_showing; }
    // Asked to show but waiting for its turn (see Alert).
    virtual bool isWaiting() const { return false; }
    // A user tap on a button: the click answer, then the dismissal.
    void clickButtonAtIndex(int index);
    // Dismissal by the program, shown or still waiting: only the dismissal
    // answer.
    void dismissWithClickedButtonIndex(int index, bool animated = true);

    // Handlers run besides the delegate (either may be left empty).
    void setClickedHandler(std::function<void(int)> handler) { m_onClicked = std::move(handler); }
    void setDismissedHandler(std::function<void(int)> handler) { m_onDismissed = std::move(handler); }
    void clearHandlers();

    static QList<ChoiceDialog*> showing();
    static ChoiceDialog* showingWithTag(int tag);
    static ChoiceDialog* topShowing();

signals:
    void buttonClicked(int index);
    void dismissed(int index);

protected:
    ChoiceDialog(const QString& title, const QString& message, QWidget* parent = nullptr);

    // Puts the dialog on the canvas' overlay and lays it out.
    void showOnCanvas(QWidget* canvas);
    void setCancelButtonIndex(int index) { m_cancelIndex = index; }
    QList<QPushButton*> buttonWidgets() const { return m_buttonWidgets; }
    // Builds the box (buttons included) inside the overlay.
    virtual void layoutBox(QWidget* overlay) = 0;
    // A tap on the overlay outside the box.
    virtual void tappedOutside() {}
    // Escape while the dialog has the keyboard.
    virtual void escapePressed() {}
    virtual void notifyClicked(int index) = 0;
    virtual void notifyDismissed(int index) = 0;
    // Called once when the dialog stops showing or waiting, before the answers.
    virtual void willDismiss() {}
    // Called once a shown dialog gave the keyboard back and its overlay was
    // hidden, before the answers.
    virtual void didHide(QWidget* overlay) { Q_UNUSED(overlay); }
    QPushButton* makeButton(int index, QWidget* parent);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_title;
    QString m_message;
    QStringList m_buttons;
    QList<QPushButton*> m_buttonWidgets;
    int m_cancelIndex = -1;
    int m_tag = 0;
    bool m_showing = false;
    bool m_dismissed = false;
    QPointer<QWidget> m_overlay;
    std::unique_ptr<KeyboardHold> m_keyboard;
    std::function<void(int)> m_onClicked;
    std::function<void(int)> m_onDismissed;
};

}
