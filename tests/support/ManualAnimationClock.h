#pragma once

#include <QAnimationDriver>

// Drives the Qt animations of the main thread by hand while it lives: an
// animation moves on only when advanceBy() is called, however loaded the
// machine is. Made on the main thread before the animations it drives start.
class ManualAnimationClock final : public QAnimationDriver {
public:
    ManualAnimationClock();
    ~ManualAnimationClock() override;

    // Moves every running animation on by ms milliseconds (those started
    // since the last call included).
    void advanceBy(qint64 ms);
    qint64 elapsed() const override { return m_elapsed; }

protected:
    void start() override;

private:
    qint64 m_elapsed = 0;
};
