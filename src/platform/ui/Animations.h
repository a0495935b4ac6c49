#pragma once

#include <QEasingCurve>
#include <QRect>

#include <functional>

class QWidget;

namespace ui {

// The two animations screens use. Tests may switch animations off, which
// makes every change take effect at once.
class Animations {
public:
    // Cross-fade: a snapshot of the widget as it is now is laid over it and
    // fades out over `ms`, revealing whatever the caller changes next.
    static void fade(QWidget* widget, int ms, QEasingCurve curve = QEasingCurve::InOutQuad);
    // Moves and resizes the widget to `target` over `ms`. A new call on the
    // same widget replaces a running one. `done` runs at the end.
    static void animateGeometry(QWidget* widget, const QRect& target, int ms,
                                QEasingCurve curve = QEasingCurve::InOutQuad, std::function<void()> done = {});

    static void setEnabled(bool enabled);
    static bool enabled();
};

}
