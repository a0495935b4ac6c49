#pragma once

#include "platform/sys/IdleInhibitBackend.h"

#include <cstdint>

// Keeps the session's screensaver off through its D-Bus inhibit call. Without
// a session bus, or when nothing answers there, it does nothing. An inhibit
// still on at exit ends with the process's bus connection.
class ScreenSaverInhibit : public IdleInhibitBackend {
public:
    void setInhibited(bool inhibited) override;

private:
    uint32_t m_cookie = 0;
    bool m_active = false;
};
