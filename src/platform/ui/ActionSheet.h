#pragma once

#include "platform/core/DelegateRef.h"
#include "platform/ui/ChoiceDialog.h"

namespace ui {

class ActionSheet;

class ActionSheetDelegate {
public:
    virtual ~ActionSheetDelegate() = default;
    virtual void actionSheetClickedButtonAtIndex(ActionSheet* sheet, int buttonIndex) { Q_UNUSED(sheet); Q_UNUSED(buttonIndex); }
    virtual void actionSheetDidDismissWithButtonIndex(ActionSheet* sheet, int buttonIndex) { Q_UNUSED(sheet); Q_UNUSED(buttonIndex); }
};

// A list of choices shown in a popover next to a rectangle of a widget.
// Buttons are indexed in the order given (destructive first, then the
// others, then cancel). A tap outside the popover answers the cancel button's
// index, which is -1 when there is none; so does Escape.
class ActionSheet : public ChoiceDialog {
    Q_OBJECT
public:
    ActionSheet(const QString& title, ActionSheetDelegate* delegate, const QString& cancelButtonTitle,
                const QString& destructiveButtonTitle, const QStringList& otherButtonTitles, QWidget* parent = nullptr);

    ActionSheetDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(ActionSheetDelegate* delegate) { m_delegate.reset(delegate); }
    int destructiveButtonIndex() const { return m_destructiveIndex; }

    // Shows the popover beside `rect` (in `view`'s coordinates).
    void showFromRect(const QRect& rect, QWidget* view);

protected:
    void layoutBox(QWidget* overlay) override;
    void tappedOutside() override;
    void escapePressed() override { tappedOutside(); }
    void notifyClicked(int index) override;
    void notifyDismissed(int index) override;

private:
    DelegateRef<ActionSheetDelegate> m_delegate;
    int m_destructiveIndex = -1;
    QRect m_anchor;
};

}
