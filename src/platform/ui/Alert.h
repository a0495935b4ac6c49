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
class Alert : public ChoiceDialog {
    Q_OBJECT
public:
    Alert(const QString& title, const QString& message, AlertDelegate* delegate, const QString& cancelButtonTitle,
          const QStringList& otherButtonTitles = {}, QWidget* parent = nullptr);

    AlertDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(AlertDelegate* delegate) { m_delegate.reset(delegate); }

    // Shows the alert on the current canvas (or the given one).
    void show(QWidget* canvas = nullptr) { showOnCanvas(canvas); }

    static Alert* showingAlertWithTag(int tag);

protected:
    void layoutBox(QWidget* overlay) override;
    void notifyClicked(int index) override;
    void notifyDismissed(int index) override;

private:
    DelegateRef<AlertDelegate> m_delegate;
};

}
