#pragma once

#include "platform/sys/IdleInhibitBackend.h"

#include <QDBusConnection>

#include <cstdint>
#include <optional>

// Keeps the session's screensaver off through its D-Bus inhibit call. Without
// a session bus, or when nothing answers there, it does nothing. An inhibit
// still on at exit ends with the process's bus connection.
class ScreenSaverInhibit : public IdleInhibitBackend {
public:
    // The session bus, found when first needed.
    ScreenSaverInhibit() = default;
    explicit ScreenSaverInhibit(const QDBusConnection& bus) : m_bus(bus) {}

    void setInhibited(bool inhibited) override;

private:
    std::optional<QDBusConnection> m_bus;
    uint32_t m_cookie = 0;
    bool m_active = false;
};
