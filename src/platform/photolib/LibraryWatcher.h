#pragma once

#include <QElapsedTimer>
#include <QFileSystemWatcher>
#include <QHash>
#include <QObject>
#include <QTimer>

// Watches the library root and its direct subfolders and announces a change
// once, after the folders have been quiet for a short settling delay. Hidden
// files and our own temporary files are not part of the library, so a burst
// that only touches those announces nothing. Where a folder cannot be
// watched, the folders are polled instead. Lives on the main thread.
class LibraryWatcher : public QObject {
    Q_OBJECT
public:
    explicit LibraryWatcher(QString root, QObject* parent = nullptr, int settleMs = 300,
                            int pollMs = 3000);

    // Takes the current state as the reference and (re)arms the watches.
    void rearm();
    bool isPolling() const { return m_poll.isActive(); }

signals:
    void changed();

private:
    using Snapshot = QHash<QString, QPair<qint64, qint64>>;
    Snapshot snapshot() const;
    void onEvent();
    void settle();

    QString m_root;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QTimer m_poll;
    QElapsedTimer m_burst;
    int m_settleMs;
    Snapshot m_last;
};
