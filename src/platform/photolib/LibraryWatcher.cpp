#include "platform/photolib/LibraryWatcher.h"

#include "platform/core/AtomicFile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

namespace {

// A burst that never settles is still announced after this long.
constexpr int kLongestBurstMs = 2000;

bool isLibraryName(const QString& name)
{
    return !name.startsWith(QLatin1Char('.')) && !name.endsWith(QLatin1String(AtomicFile::kTempSuffix));
}

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
    const QDir root(m_root);
    const auto filters = QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot;
    for (const QFileInfo& entry : root.entryInfoList(filters)) {
        if (!isLibraryName(entry.fileName()))
            continue;
        if (entry.isDir()) {
            out.insert(entry.fileName() + QLatin1Char('/'), {-1, 0});
            for (const QFileInfo& inner : QDir(entry.filePath()).entryInfoList(QDir::Files)) {
                if (isLibraryName(inner.fileName()))
                    out.insert(entry.fileName() + QLatin1Char('/') + inner.fileName(),
                               {inner.size(), inner.lastModified().toMSecsSinceEpoch()});
            }
        } else {
            out.insert(entry.fileName(), {entry.size(), entry.lastModified().toMSecsSinceEpoch()});
        }
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
