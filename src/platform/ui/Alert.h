#pragma once

#include "platform/core/DelegateRef.h"
#include "platform/ui/ChoiceDialog.h"

namespace ui {

class Alert;

class AlertDelegate {
public:
    virtual ~AlertDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(Alert* alert, int buttonIndex) { Q_UNUSED(alert); Q_UNUSED(buttonIndex); }
    virtual void alertViewDidDismissWithButtonIndex(Alert* alert, int buttonIndex) { Q_UNUSED(alert); Q_UNUSED(buttonIndex); }
};

// A centred alert over a dimmed canvas: optional title, message, and buttons.
// With a cancel title, the cancel button has index 0 and the other titles
// follow from 1; without one, the others start at 0. The delegate is not
// owned (a gone delegate hears nothing).
//
// Escape answers the cancel button, as a tap on it; without one it does
// nothing.
//
// One alert is on screen at a time: an alert asked to show while another is
// up (or others wait) waits its turn and shows, in order, once the ones
// before it went away, however they went (a tap, the program, deletion).
// Between one alert and the next the dimmed overlay stays and holds the
// keyboard: a key or tap in that gap (a second fast Escape) reaches nothing.
class Alert : public ChoiceDialog {
    Q_OBJECT
public:
    Alert(const QString& title, const QString& message, AlertDelegate* delegate, const QString& cancelButtonTitle,
          const QStringList& otherButtonTitles = {}, QWidget* parent = nullptr);
    ~Alert() override;

    AlertDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(AlertDelegate* delegate) { m_delegate.reset(delegate); }

    // Shows the alert on the current canvas (or the given one), at once or
    // when its turn comes.
    void show(QWidget* canvas = nullptr);
    bool isWaiting() const override { return m_waiting; }

    static Alert* showingAlertWithTag(int tag);

protected:
    void layoutBox(QWidget* overlay) override;
    void escapePressed() override;
    void notifyClicked(int index) override;
    void notifyDismissed(int index) override;
    void willDismiss() override;
    void didHide(QWidget* overlay) override;

private:
    void leaveQueue();
    // Shows the first waiting alert, after the event loop turns, so that the
    // one that went away has finished going (its answers and observers).
    static void scheduleNext();
    static void showNext();

    DelegateRef<AlertDelegate> m_delegate;
    bool m_waiting = false;
};

}
