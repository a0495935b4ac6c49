#include "analytics/OperationQueue.h"

#include "analytics/ThreadPriority.h"
#include "platform/core/ThreadHooks.h"

namespace {

class BlockOperation final : public Operation {
public:
    explicit BlockOperation(std::function<void()> block) : m_block(std::move(block)) {}
    void start() override
    {
        if (!isCancelled())
            m_block();
    }

private:
    std::function<void()> m_block;
};

}

OperationQueue::OperationQueue(std::string name, int maxConcurrent)
    : m_name(std::move(name)), m_maxConcurrent(maxConcurrent < 1 ? 1 : maxConcurrent)
{
}

OperationQueue::~OperationQueue()
{
    shutdown();
}

void OperationQueue::shutdown()
{
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
        workers.swap(m_workers);
    }
    cancelAllOperations();
    m_cv.notify_all();
    for (auto& worker : workers) {
        if (worker.get_id() == std::this_thread::get_id())
            worker.detach();   // asked from its own work: it ends once that returns
        else if (worker.joinable())
            worker.join();
    }
}

void OperationQueue::addOperation(std::shared_ptr<Operation> operation)
{
    if (!operation)
        return;
    {
        std::lock_guard lock(m_mutex);
        if (m_stopping)
            return;
        startWorkersLocked();
        m_pending.emplace(Key{-operation->queuePriority(), m_sequence++}, std::move(operation));
    }
    m_cv.notify_one();
}

void OperationQueue::addBlock(std::function<void()> block, int priority)
{
    auto operation = std::make_shared<BlockOperation>(std::move(block));
    operation->setQueuePriority(priority);
    addOperation(std::move(operation));
}

void OperationQueue::cancelAllOperations()
{
    std::map<Key, std::shared_ptr<Operation>> dropped;
    std::vector<std::shared_ptr<Operation>> running;
    {
        std::lock_guard lock(m_mutex);
        dropped.swap(m_pending);
        running.assign(m_running.begin(), m_running.end());
    }
    for (auto& [key, operation] : dropped)
        operation->cancel();
    for (auto& operation : running)
        operation->cancel();
    m_idleCv.notify_all();
}

int OperationQueue::operationCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_pending.size() + m_running.size());
}

void OperationQueue::waitUntilAllOperationsAreFinished()
{
    std::unique_lock lock(m_mutex);
    m_idleCv.wait(lock, [this] { return m_pending.empty() && m_running.empty(); });
}

void OperationQueue::startWorkersLocked()
{
    if (!m_workers.empty())
        return;
    for (int i = 0; i < m_maxConcurrent; ++i)
        m_workers.push_back(ThreadHooks::start(m_name, [this] { run(); }));
}

void OperationQueue::run()
{
    for (;;) {
        std::shared_ptr<Operation> operation;
        {
            std::unique_lock lock(m_mutex);
            m_cv.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
            if (m_stopping || m_pending.empty())
                return;
            auto first = m_pending.begin();
            operation = std::move(first->second);
            m_pending.erase(first);
            m_running.insert(operation);
        }
        if (!operation->isCancelled())
            ThreadPriority::runAt(operation->threadPriority().value_or(0.5), m_name, [&] { operation->start(); });
        {
            std::lock_guard lock(m_mutex);
            m_running.erase(operation);
        }
        m_idleCv.notify_all();
    }
}
