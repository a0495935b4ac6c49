#pragma once

#include <QDBusConnection>
#include <QObject>

#include <optional>

// Tells when the desktop session is locked: its screen saver turned on
// (org.freedesktop.ScreenSaver's ActiveChanged on the session bus) or logind
// locked this process's session (the session's Lock and Unlock signals on
// the system bus, where logind answers). Without a bus it never reports.
class SessionLockMonitor : public QObject {
    Q_OBJECT
public:
    // The session and system buses of the process.
    explicit SessionLockMonitor(QObject* parent = nullptr);
    // The given session bus; the system bus only when one is given.
    SessionLockMonitor(const QDBusConnection& sessionBus, std::optional<QDBusConnection> systemBus,
                       QObject* parent = nullptr);

    bool isLocked() const { return m_screenSaverActive || m_sessionLocked; }

signals:
    void lockedChanged(bool locked);

private slots:
    void screenSaverActiveChanged(bool active);
    void sessionLock();
    void sessionUnlock();

private:
    void watchLogind(QDBusConnection systemBus);
    void setState(bool screenSaverActive, bool sessionLocked);

    bool m_screenSaverActive = false;
    bool m_sessionLocked = false;
};
