#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A private D-Bus daemon for one test (session configuration), ended when
// the object goes.
class PrivateBus {
public:
    PrivateBus() = default;
    ~PrivateBus();

    // False when dbus-daemon is missing or did not start.
    bool start();
    QString address() const { return m_address; }

private:
    QTemporaryDir m_socketDir;  // the daemon's socket, removed with the object
    QProcess m_daemon;
    QString m_address;
};
