#include "platform/sys/ScreenSaverInhibit.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusReply>

namespace {

constexpr int kCallTimeoutMs = 2000;

QDBusMessage screenSaverCall(const QString& method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                          QStringLiteral("/org/freedesktop/ScreenSaver"),
                                          QStringLiteral("org.freedesktop.ScreenSaver"), method);
}

}

void ScreenSaverInhibit::setInhibited(bool inhibited)
{
    if (inhibited == m_active)
        return;
    QDBusConnection bus = m_bus ? *m_bus : QDBusConnection::sessionBus();
    if (!inhibited) {
        m_active = false;
        if (bus.isConnected())
            bus.call(screenSaverCall(QStringLiteral("UnInhibit")) << m_cookie, QDBus::NoBlock);
        return;
    }
    if (!bus.isConnected())
        return;
    QString app = QCoreApplication::applicationName();
    QDBusMessage call = screenSaverCall(QStringLiteral("Inhibit")) << (app.isEmpty() ? QStringLiteral("padolvo") : app)
                                                                   << QStringLiteral("Album batch running");
    QDBusReply<uint32_t> reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
    if (reply.isValid()) {
        m_cookie = reply.value();
        m_active = true;
    }
}
