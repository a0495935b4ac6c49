#pragma once

#include <QObject>
#include <QPointer>

class AppLifecycle;
class QWidget;

namespace ui {

// Maps the main window's state to the application lifecycle: minimised or
// hidden, or the desktop session locked, means the application entered the
// background; the window shown again (not minimised) in an unlocked session
// means it came back to the foreground. Focus changes are neither.
class WindowLifecycleWatcher : public QObject {
    Q_OBJECT
public:
    WindowLifecycleWatcher(QWidget* window, AppLifecycle& lifecycle, QObject* parent = nullptr);

    // The session's screen saver or lock came on (true) or went (false).
    void setSessionLocked(bool locked);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();

    QPointer<QWidget> m_window;
    AppLifecycle& m_lifecycle;
    bool m_sessionLocked = false;
};

}
