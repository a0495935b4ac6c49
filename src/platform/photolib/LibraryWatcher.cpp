#include "platform/photolib/LibraryWatcher.h"

#include "platform/photolib/FolderScan.h"

namespace {

// A burst that never settles is still announced after this long.
constexpr int kLongestBurstMs = 2000;
}

LibraryWatcher::LibraryWatcher(QString root, QObject* parent, int settleMs, int pollMs)
    : QObject(parent), m_root(std::move(root)), m_settleMs(settleMs)
{
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &LibraryWatcher::settle);
    m_poll.setInterval(pollMs);
    connect(&m_poll, &QTimer::timeout, this, &LibraryWatcher::settle);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, &LibraryWatcher::onEvent);
    rearm();
}

LibraryWatcher::Snapshot LibraryWatcher::snapshot() const
{
    Snapshot out;
    for (const FolderScan::Entry& entry : FolderScan::scan(m_root)) {
        if (entry.isAlbum)
            out.insert(entry.relativePath + QLatin1Char('/'), {-1, 0});
        else
            out.insert(entry.relativePath, {entry.size, entry.mtimeMs});
    }
    return out;
}

void LibraryWatcher::rearm()
{
    m_last = snapshot();
    QStringList wanted{m_root};
    for (const QString& key : m_last.keys()) {
        if (key.endsWith(QLatin1Char('/')))
            wanted << m_root + QLatin1Char('/') + key.chopped(1);
    }
    const QStringList present = m_watcher.directories();
    for (const QString& dir : present) {
        if (!wanted.contains(dir))
            m_watcher.removePath(dir);
    }
    bool allWatched = true;
    for (const QString& dir : wanted) {
        if (!present.contains(dir) && !m_watcher.addPath(dir))
            allWatched = false;
    }
    if (allWatched)
        m_poll.stop();
    else if (!m_poll.isActive())
        m_poll.start();
}

void LibraryWatcher::onEvent()
{
    if (!m_settle.isActive())
        m_burst.start();
    if (m_burst.elapsed() < kLongestBurstMs)
        m_settle.start(m_settleMs);
}

void LibraryWatcher::settle()
{
    const Snapshot before = m_last;
    rearm();
    if (m_last != before)
        emit changed();
}
