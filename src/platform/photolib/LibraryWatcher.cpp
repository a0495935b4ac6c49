#include "platform/photolib/LibraryWatcher.h"

#include "platform/core/MainThread.h"
#include "platform/core/SerialQueue.h"
#include "platform/photolib/FolderScan.h"
#include "platform/photolib/NativeName.h"

#include <QPointer>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// A burst that never settles is still announced after this long.
constexpr int kLongestBurstMs = 2000;

constexpr uint32_t kWatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE | IN_MODIFY
    | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
}

LibraryWatcher::LibraryWatcher(QString root, QObject* parent, int settleMs, int pollMs)
    : QObject(parent), m_root(std::move(root)), m_settleMs(settleMs)
{
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, &LibraryWatcher::settle);
    m_poll.setInterval(pollMs);
    connect(&m_poll, &QTimer::timeout, this, &LibraryWatcher::poll);
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &LibraryWatcher::readEvents);
    }
    rearm();
}

LibraryWatcher::~LibraryWatcher()
{
    m_scanQueue.reset();
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

LibraryWatcher::Snapshot LibraryWatcher::snapshot(const QString& root)
{
    Snapshot out;
    for (const FolderScan::Entry& entry : FolderScan::scan(root, FolderScan::FileOrder::AsRead)) {
        if (entry.isAlbum)
            out.insert(entry.relativePath + QLatin1Char('/'), {-1, 0, 0});
        else
            out.insert(entry.relativePath, {entry.size, entry.mtimeNs, qint64(entry.inode)});
    }
    return out;
}

void LibraryWatcher::rearm()
{
    arm(snapshot(m_root));
}

void LibraryWatcher::arm(Snapshot current)
{
    m_last = std::move(current);
    QStringList wanted{m_root};
    for (auto it = m_last.cbegin(); it != m_last.cend(); ++it) {
        if (it.key().endsWith(QLatin1Char('/')))
            wanted << m_root + QLatin1Char('/') + it.key().chopped(1);
    }
    for (auto it = m_watches.begin(); it != m_watches.end();) {
        if (wanted.contains(it.key())) {
            ++it;
            continue;
        }
        ::inotify_rm_watch(m_fd, it.value());
        it = m_watches.erase(it);
    }
    bool allWatched = m_fd >= 0;
    for (const QString& dir : wanted) {
        if (m_fd < 0)
            break;
        // Added again even when known: a folder replaced under the same name
        // needs a new watch, and the same one comes back otherwise.
        const int wd = ::inotify_add_watch(m_fd, NativeName::encode(dir).constData(), kWatchMask);
        if (wd < 0) {
            m_watches.remove(dir);
            allWatched = false;
        } else {
            m_watches.insert(dir, wd);
        }
    }
    if (allWatched)
        m_poll.stop();
    else if (!m_poll.isActive())
        m_poll.start();
}

void LibraryWatcher::readEvents()
{
    alignas(inotify_event) char buffer[8192];
    bool any = false;
    for (;;) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        any = true;
    }
    if (any)
        onEvent();
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
    scanThen(&LibraryWatcher::settleAnswered);
}

void LibraryWatcher::settleAnswered(Snapshot current)
{
    // Armed again even when nothing differs: a folder replaced under the
    // same name needs a new watch.
    const bool differs = current != m_last;
    arm(std::move(current));
    if (differs)
        emit changed();
}

void LibraryWatcher::poll()
{
    if (m_pollInFlight)
        return;
    m_pollInFlight = true;
    scanThen(&LibraryWatcher::pollAnswered);
}

void LibraryWatcher::pollAnswered(Snapshot current)
{
    m_pollInFlight = false;
    if (current == m_last)
        return;
    arm(std::move(current));
    emit changed();
}

void LibraryWatcher::scanThen(void (LibraryWatcher::*answer)(Snapshot))
{
    // The listing runs on a helper thread; the main thread only compares.
    if (!m_scanQueue)
        m_scanQueue = std::make_unique<SerialQueue>("LibraryWatcherScan");
    QPointer<LibraryWatcher> self(this);
    m_scanQueue->async([self, answer, root = m_root] {
        Snapshot current = snapshot(root);
        MainThread::post([self, answer, current = std::move(current)]() mutable {
            if (self)
                (self.data()->*answer)(std::move(current));
        });
    });
}
