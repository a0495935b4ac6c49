#pragma once

#include "albums/batch/BatchCallbacks.h"
#include "albums/batch/BatchCompletion.h"
#include "platform/core/MainThread.h"

#include <QObject>

#include <mutex>
#include <optional>
#include <utility>
#include <vector>

// A batch owner that writes down what it is told and whether it was told on
// the main thread.
class BatchRecorder : public QObject {
public:
    std::vector<BatchCounts> progress;
    std::vector<std::pair<unsigned, float>> itemProgress;
    std::optional<BatchOutcome> outcome;
    int finishedCalls = 0;
    bool allOnMain = true;

    BatchCallbacks callbacks()
    {
        BatchCallbacks callbacks;
        callbacks.progress = [this](const BatchCounts& counts) {
            allOnMain = allOnMain && MainThread::isMainThread();
            progress.push_back(counts);
        };
        callbacks.itemProgress = [this](unsigned index, float fraction) {
            allOnMain = allOnMain && MainThread::isMainThread();
            itemProgress.emplace_back(index, fraction);
        };
        callbacks.finished = [this](const BatchOutcome& result) {
            allOnMain = allOnMain && MainThread::isMainThread();
            ++finishedCalls;
            outcome = result;
        };
        return callbacks;
    }
};

// Item work that answers nothing itself: it parks each item for the test to
// answer later, from wherever it likes.
class ParkedItems {
public:
    void park(BatchCompletion item)
    {
        std::lock_guard lock(m_mutex);
        m_items.push_back(std::move(item));
    }
    size_t count() const
    {
        std::lock_guard lock(m_mutex);
        return m_items.size();
    }
    BatchCompletion at(size_t i) const
    {
        std::lock_guard lock(m_mutex);
        return m_items.at(i);
    }
    std::vector<unsigned> indexes() const
    {
        std::lock_guard lock(m_mutex);
        std::vector<unsigned> out;
        for (const auto& item : m_items)
            out.push_back(item.index());
        return out;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<BatchCompletion> m_items;
};

#include "albums/batch/BatchRunner.h"
#include "platform/sys/IdleTimer.h"
#include "support/EventLoop.h"
#include "support/FakeIdleInhibit.h"

#include <gtest/gtest.h>

#include <memory>

class BatchRunnerTest : public ::testing::Test {
protected:
    BatchRunnerTest()
    {
        auto backend = std::make_unique<FakeIdleInhibit>();
        idleRecord = backend->record();
        idle = std::make_unique<IdleTimer>(std::move(backend));
        runner = std::make_unique<BatchRunner>("SystemAlbumBatchEncryptQueue", *idle);
        runner->setReceiver(&receiver, receiver.callbacks());
    }

    BatchRunner::ItemWork parkEach() { return [this](BatchCompletion item) { parked.park(item); }; }
    bool waitParked(size_t n) { return waitUntil([&] { return parked.count() >= n; }); }
    bool waitFinished() { return waitUntil([&] { return receiver.outcome.has_value(); }); }

    std::shared_ptr<const FakeIdleInhibit::Record> idleRecord;
    std::unique_ptr<IdleTimer> idle;
    BatchRecorder receiver;
    ParkedItems parked;
    std::unique_ptr<BatchRunner> runner;
};
