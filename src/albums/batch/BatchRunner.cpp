#include "albums/batch/BatchRunner.h"

#include "platform/core/MainThread.h"
#include "platform/core/SerialQueue.h"

#include <algorithm>
#include <exception>

// What answers posted from other threads hold on to: the runner, as long as
// it exists. Read and cleared on the main thread only; closed is also read
// by the worker.
struct BatchRunner::Link {
    explicit Link(BatchRunner* owner) : runner(owner) {}
    std::atomic<bool> closed{false};
    BatchRunner* runner;
};

namespace {

constexpr uint64_t kReasonMask = 0xff;
constexpr uint64_t kRunningBit = 0x100;

uint64_t runningState(unsigned generation)
{
    return (uint64_t(generation) << 32) | kRunningBit;
}

}

BatchRunner::BatchRunner(std::string queueName, IdleTimer& idleTimer, QObject* parent)
    : QObject(parent), m_queueName(std::move(queueName)), m_idleTimer(idleTimer), m_link(std::make_shared<Link>(this))
{
    m_watchdog.setSingleShot(true);
    m_grace.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &BatchRunner::watchdogFired);
    connect(&m_grace, &QTimer::timeout, this, &BatchRunner::graceFired);
}

BatchRunner::~BatchRunner()
{
    m_stopState &= ~kRunningBit;
    m_link->closed = true;
    m_link->runner = nullptr;
    m_current.withdraw();
    m_queue.reset();
}

void BatchRunner::setReceiver(QObject* receiver, BatchCallbacks callbacks)
{
    m_receiver = receiver;
    m_callbacks = std::make_shared<const BatchCallbacks>(std::move(callbacks));
}

bool BatchRunner::start(unsigned total, ItemWork work)
{
    Q_ASSERT(MainThread::isMainThread());
    if (m_running || !work)
        return false;
    if (!m_queue)
        m_queue = std::make_unique<SerialQueue>(m_queueName);
    ++m_generation;
    m_stopState = runningState(m_generation);
    m_counts = BatchCounts{total, 0, 0, 0};
    m_work = std::make_shared<const ItemWork>(std::move(work));
    m_running = true;
    m_hold = m_idleTimer.hold();
    if (total == 0)
        finish();
    else
        startItem(0);
    return true;
}

void BatchRunner::requestStop(BatchStopReason reason)
{
    if (reason == BatchStopReason::None)
        return;
    uint64_t state = m_stopState.load();
    do {
        if (!(state & kRunningBit) || (state & kReasonMask) != 0)
            return;
    } while (!m_stopState.compare_exchange_weak(state, state | uint64_t(reason)));
    unsigned generation = unsigned(state >> 32);
    MainThread::post([link = m_link, generation] {
        if (!link->closed)
            link->runner->stopArrived(generation);
    });
}

BatchStopReason BatchRunner::stopReason() const
{
    return BatchStopReason(m_stopState.load() & kReasonMask);
}

BatchCompletion BatchRunner::makeCompletion(unsigned index)
{
    unsigned generation = m_generation;
    auto link = m_link;
    auto answer = [link, generation, index](bool succeeded) {
        MainThread::post([link, generation, index, succeeded] {
            if (!link->closed)
                link->runner->itemAnswered(generation, index, succeeded);
        });
    };
    auto progress = [link, generation, index](float fraction) {
        MainThread::post([link, generation, index, fraction] {
            if (!link->closed)
                link->runner->itemProgressed(generation, index, fraction);
        });
    };
    return BatchCompletion(index, std::move(answer), std::move(progress));
}

void BatchRunner::startItem(unsigned index)
{
    m_index = index;
    m_itemOpen = true;
    m_current = makeCompletion(index);
    m_queue->async([link = m_link, work = m_work, item = m_current]() mutable {
        // Skipped when the runner went away, or the item was already ended
        // (watchdog, stop grace) while earlier work held the worker.
        if (link->closed || item.isAnswered())
            return;
        try {
            (*work)(item);
        } catch (const std::exception&) {
            item.fail();
        }
    });
    restartWatchdog();
}

void BatchRunner::restartWatchdog()
{
    m_waitMark = m_current.waitMark();
    m_watchdog.start(m_watchdogMs);
}

bool BatchRunner::isCurrent(unsigned generation, unsigned index) const
{
    return m_running && m_itemOpen && generation == m_generation && index == m_index;
}

void BatchRunner::itemAnswered(unsigned generation, unsigned index, bool succeeded)
{
    if (isCurrent(generation, index))
        itemDone(succeeded);
}

void BatchRunner::itemProgressed(unsigned generation, unsigned index, float fraction)
{
    if (!isCurrent(generation, index))
        return;
    restartWatchdog();
    if (!(fraction >= 0.f)) // NaN too
        fraction = 0.f;
    fraction = std::min(fraction, 1.f);
    deliver([index, fraction](const BatchCallbacks& callbacks) {
        if (callbacks.itemProgress)
            callbacks.itemProgress(index, fraction);
    });
}

void BatchRunner::stopArrived(unsigned generation)
{
    if (generation != m_generation || !m_running || !m_itemOpen)
        return;
    if (m_graceMs >= 0 && !BatchOutcome::needsItemInFlight(stopReason()))
        m_grace.start(m_graceMs);
}

void BatchRunner::watchdogFired()
{
    if (!m_itemOpen)
        return;
    // An item waiting (or that waited since the watchdog started) is given
    // its whole time again: the wait was not its own work.
    const unsigned mark = m_current.waitMark();
    if ((mark & 1) != 0 || mark != m_waitMark) {
        restartWatchdog();
        return;
    }
    if (m_current.withdraw())
        itemDone(false);
}

void BatchRunner::graceFired()
{
    // The item in flight is given up: not handled, so not counted.
    if (m_itemOpen && m_current.withdraw()) {
        m_itemOpen = false;
        finish();
    }
}

void BatchRunner::itemDone(bool succeeded)
{
    m_itemOpen = false;
    m_watchdog.stop();
    m_grace.stop();
    ++m_counts.done;
    ++(succeeded ? m_counts.succeeded : m_counts.failed);
    deliver([counts = m_counts](const BatchCallbacks& callbacks) {
        if (callbacks.progress)
            callbacks.progress(counts);
    });
    if (m_counts.allHandled() || isStopRequested())
        finish();
    else
        startItem(m_index + 1);
}

void BatchRunner::finish()
{
    m_watchdog.stop();
    m_grace.stop();
    m_running = false;
    BatchOutcome outcome = BatchOutcome::decide(stopReason(), m_counts);
    m_stopState &= ~kRunningBit;
    m_work.reset();
    m_hold.release();
    deliver([outcome](const BatchCallbacks& callbacks) {
        if (callbacks.finished)
            callbacks.finished(outcome);
    });
}

void BatchRunner::deliver(std::function<void(const BatchCallbacks&)> call)
{
    MainThread::post([link = m_link, receiver = m_receiver, callbacks = m_callbacks, call = std::move(call)] {
        if (!link->closed && receiver && callbacks)
            call(*callbacks);
    });
}
