#include "shell/CleanExit.h"

#include "platform/core/AppLifecycle.h"

#include <QCoreApplication>

CleanExit::CleanExit(AppLifecycle& lifecycle, Work work, int graceMs, QObject* parent)
    : QObject(parent), m_lifecycle(lifecycle), m_work(std::move(work)), m_graceMs(graceMs)
{
    m_poll.setInterval(10);
    connect(&m_poll, &QTimer::timeout, this, &CleanExit::poll);
}

void CleanExit::request()
{
    if (m_requested)
        return;
    m_requested = true;
    m_lifecycle.enterBackground();
    m_since.start();
    // Queued: a request made before the event loop runs is acted on once it does.
    QTimer::singleShot(0, this, &CleanExit::poll);
}

void CleanExit::poll()
{
    const int inHand = m_work.inHand ? m_work.inHand() : 0;
    if (inHand > 0 && m_since.elapsed() < m_graceMs) {
        m_poll.start();
        return;
    }
    m_poll.stop();
    if (inHand > 0)
        qWarning("exit: %d save(s) out of the private album still unanswered after %d ms; "
                 "the item may be left in both albums",
                 inHand, m_graceMs);
    if (m_work.beforeQuit)
        m_work.beforeQuit();
    QCoreApplication::quit();
}
