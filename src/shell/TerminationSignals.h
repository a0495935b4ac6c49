#pragma once

#include <QObject>

class AppLifecycle;
class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP end the application as closing its main window
// does: the application enters the background (its handlers stop what must
// stop), then the event loop quits and main() returns 0. The signal handler
// only writes the signal's number into a pipe; the main thread reads it
// through a socket notifier, so nothing of the crash path runs.
//
// Made on the main thread once the application object exists; a signal that
// comes before the event loop runs is acted on as soon as it does.
// Destruction puts the signals' default actions back.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(AppLifecycle& lifecycle, QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }
    // The last signal acted on (0 when none).
    int received() const { return m_received; }

private:
    void readSignal();

    AppLifecycle& m_lifecycle;
    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    int m_received = 0;
};
