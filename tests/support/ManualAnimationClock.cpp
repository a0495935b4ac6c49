#include "support/ManualAnimationClock.h"

#include <QCoreApplication>

ManualAnimationClock::ManualAnimationClock()
{
    install();
}

ManualAnimationClock::~ManualAnimationClock()
{
    uninstall();
}

void ManualAnimationClock::start()
{
    // Each run of animations counts from its own start.
    m_elapsed = 0;
    QAnimationDriver::start();
}

void ManualAnimationClock::advanceBy(qint64 ms)
{
    // Animations started meanwhile join the clock through queued calls.
    for (int round = 0; round < 3; ++round)
        QCoreApplication::sendPostedEvents();
    m_elapsed += ms;
    advance();
}
