#include "albums/batch/BatchSession.h"

#include "albums/batch/BatchRunner.h"
#include "platform/core/MainThread.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Screen.h"

BatchSession::~BatchSession()
{
    if (m_panel)
        m_panel->deleteLater();
}

void BatchSession::follow(BatchRunner& runner, QObject* receiver, bool resetBar,
                          std::function<void(const BatchOutcome&)> finished)
{
    BatchCallbacks callbacks;
    callbacks.progress = [this, resetBar](const BatchCounts& counts) { showCounts(counts, resetBar); };
    callbacks.itemProgress = [this](unsigned, float fraction) { setProgress(fraction); };
    callbacks.finished = std::move(finished);
    runner.setReceiver(receiver, std::move(callbacks));
}

void BatchSession::open(QWidget* host, unsigned total, const QString& title, int tag,
                        PavPhotosProcessingViewDelegate* delegate)
{
    if (m_panel || !host)
        return;
    m_panel = new PavPhotosProcessingView_iPad(host->rect(), total, title, delegate, host);
    m_panel->setTag(tag);
    m_panel->setProgressMessage(ProcessingProgress::counterText(0, total));
    m_panel->show();
    m_panel->raise();
}

void BatchSession::showCounts(const BatchCounts& counts, bool resetBar)
{
    if (!m_panel)
        return;
    m_panel->setCompletedCount(counts.done);
    // The bar empties for the next item: the last count keeps the bar its
    // item filled.
    if (resetBar && !counts.allHandled())
        m_panel->setProgress(0);
}

void BatchSession::setProgress(float fraction)
{
    if (m_panel)
        m_panel->setProgress(fraction);
}

void BatchSession::disableCancel()
{
    if (m_panel)
        m_panel->disableCancel();
}

void BatchSession::close()
{
    m_ending = false;
    if (!m_panel)
        return;
    m_panel->hide();
    m_panel->deleteLater();
    m_panel = nullptr;
}

void BatchSession::finish(QObject* owner, std::function<void()> then)
{
    if (!m_panel) {
        then();
        return;
    }
    m_ending = true;
    // The owner keeps this session: the continuation cannot outlive it.
    MainThread::after(kLastStepMs, owner, [this, then = std::move(then)] {
        close();
        then();
    });
}

QWidget* BatchSession::rootHost()
{
    ui::Canvas* canvas = ui::Canvas::current();
    if (!canvas)
        return nullptr;
    return canvas->rootScreen() ? static_cast<QWidget*>(canvas->rootScreen()) : canvas;
}
