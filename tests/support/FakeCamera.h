#pragma once

#include "platform/media/Camera.h"
#include "platform/ui/Screen.h"

#include <QPointer>

// A camera whose pictures the test feeds: its capture screen is a plain
// screen that answers, and closes, when the test calls take().
class FakeCamera : public Camera {
public:
    explicit FakeCamera(bool available = true) : m_available(available) {}

    bool isAvailable() override { return m_available; }
    ui::Screen* makeCaptureScreen(Taken taken) override
    {
        m_taken = std::move(taken);
        m_screen = new ui::Screen;
        return m_screen;
    }

    // The capture screen, while it is open.
    ui::Screen* screen() const { return m_screen; }
    // The user takes `image` (a null one: cancels).
    void take(const QImage& image)
    {
        const Taken taken = std::move(m_taken);
        m_taken = nullptr;
        if (m_screen)
            m_screen->dismissModal(false);
        if (taken)
            taken(image);
    }

private:
    bool m_available;
    Taken m_taken;
    QPointer<ui::Screen> m_screen;
};
