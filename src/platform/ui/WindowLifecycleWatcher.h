#pragma once

#include <QObject>
#include <QPointer>

class AppLifecycle;
class QWidget;

namespace ui {

// Maps the main window's state to the application lifecycle: minimised or
// hidden means the application entered the background; shown again (not
// minimised) means it came back to the foreground. Focus changes are
// neither.
class WindowLifecycleWatcher : public QObject {
    Q_OBJECT
public:
    WindowLifecycleWatcher(QWidget* window, AppLifecycle& lifecycle, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void update();

    QPointer<QWidget> m_window;
    AppLifecycle& m_lifecycle;
};

}
