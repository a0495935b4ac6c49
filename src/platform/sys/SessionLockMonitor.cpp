#include "platform/sys/SessionLockMonitor.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <unistd.h>

namespace {
const QString kLogind = QStringLiteral("org.freedesktop.login1");
const QString kLogindSession = QStringLiteral("org.freedesktop.login1.Session");
}

SessionLockMonitor::SessionLockMonitor(QObject* parent)
    : SessionLockMonitor(QDBusConnection::sessionBus(), QDBusConnection::systemBus(), parent)
{
}

SessionLockMonitor::SessionLockMonitor(const QDBusConnection& sessionBus, std::optional<QDBusConnection> systemBus,
                                       QObject* parent)
    : QObject(parent)
{
    // Any sender and path: desktops publish the interface under different
    // service names and object paths.
    QDBusConnection session = sessionBus;
    if (session.isConnected()) {
        session.connect(QString(), QString(), QStringLiteral("org.freedesktop.ScreenSaver"),
                        QStringLiteral("ActiveChanged"), this, SLOT(screenSaverActiveChanged(bool)));
    }
    if (systemBus && systemBus->isConnected())
        watchLogind(*systemBus);
}

void SessionLockMonitor::watchLogind(QDBusConnection systemBus)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kLogind, QStringLiteral("/org/freedesktop/login1"),
                                                       QStringLiteral("org.freedesktop.login1.Manager"),
                                                       QStringLiteral("GetSessionByPID"));
    call << uint(getpid());
    auto* watcher = new QDBusPendingCallWatcher(systemBus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, systemBus](QDBusPendingCallWatcher* w) mutable {
        w->deleteLater();
        QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError())
            return;   // no logind, or this process belongs to no session
        const QString path = reply.value().path();
        systemBus.connect(kLogind, path, kLogindSession, QStringLiteral("Lock"), this, SLOT(sessionLock()));
        systemBus.connect(kLogind, path, kLogindSession, QStringLiteral("Unlock"), this, SLOT(sessionUnlock()));
    });
}

void SessionLockMonitor::screenSaverActiveChanged(bool active)
{
    setState(active, m_sessionLocked);
}

void SessionLockMonitor::sessionLock()
{
    setState(m_screenSaverActive, true);
}

void SessionLockMonitor::sessionUnlock()
{
    setState(m_screenSaverActive, false);
}

void SessionLockMonitor::setState(bool screenSaverActive, bool sessionLocked)
{
    const bool was = isLocked();
    m_screenSaverActive = screenSaverActive;
    m_sessionLocked = sessionLocked;
    if (isLocked() != was)
        emit lockedChanged(isLocked());
}
