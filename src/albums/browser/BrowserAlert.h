#pragma once

#include <QStringList>

class PavAlertView;

namespace ui {
class AlertDelegate;
}

// The alerts of the private and cloud browsers: untitled album alerts told
// apart by their tag.
class BrowserAlert {
public:
    static PavAlertView* show(ui::AlertDelegate* delegate, const QString& message, const QString& cancel,
                              const QStringList& others = {}, int tag = 0);
    // "操作失败，请稍候重试。" with "确定".
    static PavAlertView* showFailure(ui::AlertDelegate* delegate);
    // Clears the delegate of an alert still on screen, so its answer reaches nobody.
    static void forget(PavAlertView* alert);
};
