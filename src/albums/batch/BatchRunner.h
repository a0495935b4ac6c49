#pragma once

#include "albums/batch/BatchCallbacks.h"
#include "albums/batch/BatchCompletion.h"
#include "albums/batch/BatchCounts.h"
#include "albums/batch/BatchStopReason.h"
#include "platform/sys/IdleTimer.h"
#include "platform/sys/IdleTimerHold.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class SerialQueue;

// Runs one album batch: items start one at a time, in order, on the runner's
// own worker thread (named after the batch's queue); each item answers once
// through its BatchCompletion, from any thread. The runner owns the counts
// and the outcome; the stop request is atomic and may come from any thread.
// Its owner hears of progress and of the end on the main thread, and only
// while the receiver object is alive.
//
// An item that does not answer within the watchdog fails; time it spends in
// a BatchCompletion::Wait (waiting for the private album's index) does not
// count, and the watchdog starts again in full after it. After a stop that
// shows no counts (user, background, re-lock, network), an item in flight
// gets the stop grace, when one is set, to answer; past it the batch ends
// without it.
//
// Lives on the main thread. Destroying it ends the batch without telling
// anyone and waits for item work in hand to return; item work therefore must
// not block on the main thread (post to it, never postAndWait), and the
// runner should be declared after whatever its item work uses.
class BatchRunner : public QObject {
    Q_OBJECT
public:
    // Runs on the worker. It may finish the item before returning or hand it
    // on (a transfer, a save) and answer later; an exception fails the item.
    using ItemWork = std::function<void(BatchCompletion item)>;

    static constexpr int kDefaultWatchdogMs = 120000;

    explicit BatchRunner(std::string queueName, IdleTimer& idleTimer = IdleTimer::shared(), QObject* parent = nullptr);
    ~BatchRunner() override;

    const std::string& queueName() const { return m_queueName; }

    // Longest silence of an item before it fails (at least 1 ms); progress
    // reports and the end of a wait restart it.
    void setWatchdogMs(int ms) { m_watchdogMs = ms > 0 ? ms : 1; }
    int watchdogMs() const { return m_watchdogMs; }
    // Negative (the default): a stopped batch waits for its item in flight.
    void setStopGraceMs(int ms) { m_graceMs = ms; }
    int stopGraceMs() const { return m_graceMs; }

    void setReceiver(QObject* receiver, BatchCallbacks callbacks);

    // Starts a batch of total items; false while one runs. The idle timer is
    // held until it ends.
    bool start(unsigned total, ItemWork work);

    // Any thread. Ignored when no batch runs; the first reason of a batch wins.
    // The item in flight is not interrupted; no later item starts.
    void requestStop(BatchStopReason reason);

    BatchStopReason stopReason() const;
    bool isStopRequested() const { return stopReason() != BatchStopReason::None; }

    // Main thread.
    bool isRunning() const { return m_running; }
    const BatchCounts& counts() const { return m_counts; }
    // Whether the item in flight is in a BatchCompletion::Wait.
    bool isItemWaiting() const { return m_itemOpen && (m_current.waitMark() & 1) != 0; }
    unsigned generation() const { return m_generation; }

private:
    struct Link;

    void startItem(unsigned index);
    BatchCompletion makeCompletion(unsigned index);
    bool isCurrent(unsigned generation, unsigned index) const;
    void itemAnswered(unsigned generation, unsigned index, bool succeeded);
    void itemProgressed(unsigned generation, unsigned index, float fraction);
    void stopArrived(unsigned generation);
    void restartWatchdog();
    void watchdogFired();
    void graceFired();
    void itemDone(bool succeeded);
    void finish();
    void deliver(std::function<void(const BatchCallbacks&)> call);

    std::string m_queueName;
    IdleTimer& m_idleTimer;
    std::shared_ptr<Link> m_link;
    std::unique_ptr<SerialQueue> m_queue;
    std::shared_ptr<const ItemWork> m_work;
    QPointer<QObject> m_receiver;
    std::shared_ptr<const BatchCallbacks> m_callbacks;
    QTimer m_watchdog;
    QTimer m_grace;
    int m_watchdogMs = kDefaultWatchdogMs;
    int m_graceMs = -1;
    IdleTimerHold m_hold;
    BatchCompletion m_current;
    unsigned m_waitMark = 0;   // m_current's wait mark when the watchdog last started
    unsigned m_index = 0;
    bool m_itemOpen = false;
    BatchCounts m_counts;
    unsigned m_generation = 0;
    bool m_running = false;
    // Generation (high half), running bit and stop reason (low byte), so a
    // stop meant for one batch can never land on the next.
    std::atomic<uint64_t> m_stopState{0};
};
