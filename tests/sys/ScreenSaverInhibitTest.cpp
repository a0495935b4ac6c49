#include "platform/sys/ScreenSaverInhibit.h"
#include "support/EventLoop.h"
#include "support/PrivateBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>

namespace {

// Stands in for the session's screensaver; lives on its own thread so that the
// blocking call from the main thread gets its answer.
class FakeScreenSaver : public QDBusVirtualObject {
public:
    std::atomic<int> inhibits{0};
    std::atomic<uint> released{0};

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() == "Inhibit" && message.arguments().size() == 2) {
            ++inhibits;
            connection.send(message.createReply(QVariant::fromValue(uint(41))));
            return true;
        }
        if (message.member() == "UnInhibit" && message.arguments().size() == 1) {
            released = message.arguments().at(0).toUInt();
            return true;
        }
        return false;
    }
};

}

TEST(ScreenSaverInhibit, InhibitsThroughTheSessionBusAndGivesTheCookieBack)
{
    PrivateBus bus;
    if (!bus.start())
        GTEST_SKIP() << "no dbus-daemon";
    const QString address = bus.address();

    QThread serviceThread;
    serviceThread.start();
    auto* service = new FakeScreenSaver;
    service->moveToThread(&serviceThread);
    QDBusConnection serviceBus = QDBusConnection::connectToBus(address, "fake-screensaver");
    ASSERT_TRUE(serviceBus.registerService("org.freedesktop.ScreenSaver"));
    ASSERT_TRUE(serviceBus.registerVirtualObject("/org/freedesktop/ScreenSaver", service));

    {
        ScreenSaverInhibit inhibit(QDBusConnection::connectToBus(address, "screensaver-client"));
        inhibit.setInhibited(true);
        inhibit.setInhibited(true); // already on: not asked again
        EXPECT_EQ(service->inhibits, 1);
        inhibit.setInhibited(false);
    }
    // The release is one-way and handled on the service thread: wait for it.
    waitUntil([&] { return service->released.load() == 41u; });
    EXPECT_EQ(service->released, 41u);

    serviceBus.unregisterObject("/org/freedesktop/ScreenSaver");
    QDBusConnection::disconnectFromBus("fake-screensaver");
    QDBusConnection::disconnectFromBus("screensaver-client");
    serviceThread.quit();
    serviceThread.wait();
    delete service;
}
