#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP end the application as closing its main window
// does: `endRequested` runs (the shell's CleanExit: the background, the work
// in hand finished, then the event loop quits and main() returns 0). The signal handler
// only writes the signal's number into a pipe; the main thread reads it
// through a socket notifier, so nothing of the crash path runs.
//
// catchEarly() runs first in the launch, before any thread starts: from then
// on a signal only marks the stop (requested()), and a second one before the
// object exists ends the process by the signal's own action. The object is
// made on the main thread once the application object exists; a signal that
// came before it, or before the event loop runs, is acted on as soon as the
// loop runs.
// Destruction puts the signals' default actions back.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(std::function<void()> endRequested, QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isInstalled() const { return m_notifier != nullptr; }
    // The last signal acted on (0 when none).
    int received() const { return m_received; }
    static void catchEarly();
    // Whether one of the signals came, even before the event loop runs.
    static bool requested();

private:
    void readSignal();

    std::function<void()> m_endRequested;
    int m_fds[2] = {-1, -1};
    QSocketNotifier* m_notifier = nullptr;
    int m_received = 0;
};
