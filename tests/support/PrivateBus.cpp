#include "support/PrivateBus.h"

#include <QStandardPaths>

PrivateBus::~PrivateBus()
{
    if (m_daemon.state() == QProcess::NotRunning)
        return;
    m_daemon.kill();
    m_daemon.waitForFinished(3000);
}

bool PrivateBus::start()
{
    if (QStandardPaths::findExecutable("dbus-daemon").isEmpty())
        return false;
    if (!m_socketDir.isValid())
        return false;
    m_daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1",
                                   "--address=unix:dir=" + m_socketDir.path()});
    if (!m_daemon.waitForReadyRead(10000))
        return false;
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    return !m_address.isEmpty();
}
