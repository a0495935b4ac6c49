#include "platform/sys/SessionLockMonitor.h"
#include "support/EventLoop.h"
#include "support/PrivateBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVirtualObject>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// Stands in for logind: every process belongs to session "_7".
class FakeLogind : public QDBusVirtualObject {
public:
    uint askedPid = 0;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != "GetSessionByPID" || message.arguments().size() != 1)
            return false;
        askedPid = message.arguments().at(0).toUInt();
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath("/org/freedesktop/login1/session/_7"))));
        return true;
    }
};

QDBusMessage screenSaverActive(bool active)
{
    return QDBusMessage::createSignal("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver", "ActiveChanged")
           << active;
}

QDBusMessage sessionSignal(const QString& session, const QString& name)
{
    return QDBusMessage::createSignal("/org/freedesktop/login1/session/" + session, "org.freedesktop.login1.Session",
                                      name);
}

// A listener's match rule reaches the daemon a little after it is made:
// sends until the first answer shows.
bool sendUntil(QDBusConnection& bus, const QDBusMessage& message, const std::function<bool()>& seen)
{
    for (int i = 0; i < 50; ++i) {
        bus.send(message);
        if (waitUntil(seen, 100))
            return true;
    }
    return false;
}

}

TEST(SessionLockMonitor, TheScreenSaverAndLogindEachLockTheSessionUntilBothLetGo)
{
    PrivateBus bus;
    if (!bus.start())
        GTEST_SKIP() << "no dbus-daemon";
    FakeLogind logind;
    QDBusConnection desktop = QDBusConnection::connectToBus(bus.address(), "fake-desktop");
    ASSERT_TRUE(desktop.registerService("org.freedesktop.login1"));
    ASSERT_TRUE(desktop.registerVirtualObject("/org/freedesktop/login1", &logind));
    ASSERT_TRUE(desktop.registerService("org.freedesktop.ScreenSaver"));

    QList<bool> changes;
    {
        // One connection serves as both buses, so that the signals below
        // arrive in the order sent.
        QDBusConnection listener = QDBusConnection::connectToBus(bus.address(), "lock-listener");
        SessionLockMonitor monitor(listener, listener);
        QObject::connect(&monitor, &SessionLockMonitor::lockedChanged, [&](bool locked) { changes << locked; });
        ASSERT_TRUE(waitUntil([&] { return logind.askedPid != 0; }));
        EXPECT_EQ(logind.askedPid, uint(getpid()));

        ASSERT_TRUE(sendUntil(desktop, sessionSignal("_7", "Lock"), [&] { return !changes.isEmpty(); }));
        EXPECT_TRUE(monitor.isLocked());
        desktop.send(sessionSignal("_7", "Unlock"));
        ASSERT_TRUE(waitUntil([&] { return changes.size() == 2; }));

        ASSERT_TRUE(sendUntil(desktop, screenSaverActive(true), [&] { return changes.size() == 3; }));
        // Locked twice over, the end of one alone does not unlock; another
        // session's unlock is not ours.
        desktop.send(sessionSignal("_7", "Lock"));
        desktop.send(screenSaverActive(false));
        desktop.send(sessionSignal("_8", "Unlock"));
        desktop.send(screenSaverActive(true));
        desktop.send(sessionSignal("_7", "Unlock"));
        desktop.send(screenSaverActive(false));
        ASSERT_TRUE(waitUntil([&] { return changes.size() >= 4; }));
        spinEvents(100);
        EXPECT_FALSE(monitor.isLocked());
    }
    EXPECT_EQ(changes, (QList<bool>{true, false, true, false}));

    desktop.unregisterObject("/org/freedesktop/login1");
    QDBusConnection::disconnectFromBus("fake-desktop");
    QDBusConnection::disconnectFromBus("lock-listener");
}
