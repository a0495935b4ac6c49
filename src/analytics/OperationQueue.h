#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

// One unit of work for an OperationQueue. start() runs on a worker thread;
// cancel() may come from any thread at any time.
class Operation {
public:
    virtual ~Operation() = default;

    virtual void start() = 0;
    virtual void cancel() { m_cancelled.store(true); }
    bool isCancelled() const { return m_cancelled.load(); }

    // Higher runs first; equal priorities run in the order they were added.
    int queuePriority() const { return m_queuePriority; }
    void setQueuePriority(int priority) { m_queuePriority = priority; }

    // The thread priority the operation runs at, from 0.0 (lowest) to 1.0
    // (highest), as ThreadPriority::runAt applies it; without one it runs at
    // the worker's own.
    std::optional<double> threadPriority() const { return m_threadPriority; }
    void setThreadPriority(double priority) { m_threadPriority = priority; }

private:
    std::atomic<bool> m_cancelled{false};
    int m_queuePriority = 0;
    std::optional<double> m_threadPriority;
};

// A fixed pool of worker threads (started on first use) taking operations by
// priority. shutdown() (the destructor too) cancels what is queued or
// running and joins the workers; the program shuts its queues down before
// main returns, so none is left for the exit handlers.
class OperationQueue {
public:
    OperationQueue(std::string name, int maxConcurrent);
    ~OperationQueue();
    OperationQueue(const OperationQueue&) = delete;
    OperationQueue& operator=(const OperationQueue&) = delete;

    void addOperation(std::shared_ptr<Operation> operation);
    void addBlock(std::function<void()> block, int priority = 0);
    // Queued operations are cancelled and dropped; running ones get cancel().
    void cancelAllOperations();
    // Queued plus running.
    int operationCount() const;
    int maxConcurrent() const { return m_maxConcurrent; }
    void waitUntilAllOperationsAreFinished();
    // Stops for good: queued operations are cancelled and dropped, running
    // ones cancelled and waited for, the workers joined; later operations
    // are refused. Any thread but the queue's own workers; a second call
    // does nothing.
    void shutdown();

private:
    void startWorkersLocked();
    void run();

    using Key = std::pair<int, std::uint64_t>;   // (-priority, sequence)

    const std::string m_name;
    const int m_maxConcurrent;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::condition_variable m_idleCv;
    std::map<Key, std::shared_ptr<Operation>> m_pending;
    std::set<std::shared_ptr<Operation>> m_running;
    std::uint64_t m_sequence = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};
