#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>

#include <array>
#include <memory>

class QSocketNotifier;
class SerialQueue;

// Watches the library root and its direct subfolders (inotify: entries
// added, removed or renamed, and files written, closed after writing or
// touched) and announces a change once, after the folders have been quiet
// for a short settling delay. A burst is announced only when the listing
// differs from the last one (a file's size, time or identity included), so
// hidden files and our own temporary files announce nothing. The listing of
// a settled burst runs on a helper thread; where a folder cannot be watched,
// the library is listed there at each poll instead. A rewrite that keeps the
// size and puts the old time back (touch -r) is not seen. Lives on the main
// thread.
class LibraryWatcher : public QObject {
    Q_OBJECT
public:
    explicit LibraryWatcher(QString root, QObject* parent = nullptr, int settleMs = 300,
                            int pollMs = 3000);
    ~LibraryWatcher() override;

    // Takes the current state as the reference and (re)arms the watches.
    void rearm();
    bool isPolling() const { return m_poll.isActive(); }

signals:
    void changed();

private:
    // Per item: size, modification time (ns) and inode; folders as -1.
    using Snapshot = QHash<QString, std::array<qint64, 3>>;
    static Snapshot snapshot(const QString& root);
    void arm(Snapshot current);
    void readEvents();
    void onEvent();
    void settle();
    void settleAnswered(Snapshot current);
    void poll();
    void pollAnswered(Snapshot current);
    // Lists the library on the helper thread, then calls answer on the main thread.
    void scanThen(void (LibraryWatcher::*answer)(Snapshot));

    QString m_root;
    int m_fd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QHash<QString, int> m_watches;   // folder -> watch descriptor
    QTimer m_settle;
    QTimer m_poll;
    QElapsedTimer m_burst;
    int m_settleMs;
    Snapshot m_last;
    bool m_pollInFlight = false;
    std::unique_ptr<SerialQueue> m_scanQueue;   // last: its scans finish before the rest goes
};
