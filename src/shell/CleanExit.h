#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <functional>

class AppLifecycle;

// Ends the application without splitting the work in hand. Asked to end (a
// termination signal, the main window closed), it sends the application to
// the background, so every batch stops before its next item, then keeps the
// event loop running until `inHand` answers 0 or the grace has passed, runs
// `beforeQuit` and quits the event loop. A move out of the private album thus
// finishes its item (saved, then the private copy deleted) instead of
// leaving it in both albums. Main thread; a second request is ignored.
class CleanExit : public QObject {
    Q_OBJECT
public:
    struct Work {
        std::function<int()> inHand;        // work that must finish before the end
        std::function<void()> beforeQuit;   // last words (the index made whole)
    };

    CleanExit(AppLifecycle& lifecycle, Work work, int graceMs, QObject* parent = nullptr);

    void request();
    bool isRequested() const { return m_requested; }

private:
    void poll();

    AppLifecycle& m_lifecycle;
    Work m_work;
    int m_graceMs;
    bool m_requested = false;
    QTimer m_poll;
    QElapsedTimer m_since;
};
