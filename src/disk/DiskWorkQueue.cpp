#include "disk/DiskWorkQueue.h"

#include "platform/core/ThreadHooks.h"

#include <algorithm>

DiskWorkQueue::DiskWorkQueue(std::string name, int width) : m_name(std::move(name)), m_width(std::max(1, width)) {}

DiskWorkQueue::~DiskWorkQueue()
{
    close();
}

void DiskWorkQueue::close()
{
    stopAll();
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(m_mutex);
        m_closing = true;
        threads.swap(m_threads);
    }
    m_cv.notify_all();
    for (std::thread& t : threads)
        t.join();
}

void DiskWorkQueue::enqueue(const QString& key, Body body, std::function<void()> stopped)
{
    auto job = std::make_shared<Job>();
    job->key = key;
    job->body = std::move(body);
    job->stopped = std::move(stopped);
    {
        std::unique_lock lock(m_mutex);
        if (m_closing) {
            lock.unlock();
            if (job->stopped)
                job->stopped();
            return;
        }
        m_queued.push_back(std::move(job));
        if (m_idle == 0 && int(m_threads.size()) < m_width)
            m_threads.push_back(ThreadHooks::start(m_name, [this] { run(); }));
    }
    m_cv.notify_one();
}

void DiskWorkQueue::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        ++m_idle;
        m_cv.wait(lock, [this] { return m_closing || !m_queued.empty(); });
        --m_idle;
        if (m_queued.empty())
            return;   // closing
        std::shared_ptr<Job> job = std::move(m_queued.front());
        m_queued.pop_front();
        m_running.push_back(job);
        lock.unlock();
        job->body(*job->stopFlag);
        lock.lock();
        m_running.erase(std::find(m_running.begin(), m_running.end(), job));
    }
}

void DiskWorkQueue::stopMatching(const std::function<bool(const QString&)>& match)
{
    std::vector<std::shared_ptr<Job>> taken;
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_queued.begin(); it != m_queued.end();) {
            if (match((*it)->key)) {
                taken.push_back(std::move(*it));
                it = m_queued.erase(it);
            } else {
                ++it;
            }
        }
        for (const std::shared_ptr<Job>& job : m_running)
            if (match(job->key))
                job->stopFlag->store(true);
    }
    for (const std::shared_ptr<Job>& job : taken)
        if (job->stopped)
            job->stopped();
}

void DiskWorkQueue::stop(const QString& key)
{
    stopMatching([&key](const QString& k) { return k == key; });
}

void DiskWorkQueue::stopAll()
{
    stopMatching([](const QString&) { return true; });
}

bool DiskWorkQueue::contains(const QString& key)
{
    std::lock_guard lock(m_mutex);
    return std::any_of(m_queued.begin(), m_queued.end(), [&](const auto& j) { return j->key == key; })
        || std::any_of(m_running.begin(), m_running.end(), [&](const auto& j) { return j->key == key; });
}

int DiskWorkQueue::count()
{
    std::lock_guard lock(m_mutex);
    return int(m_queued.size())
        + int(std::count_if(m_running.begin(), m_running.end(), [](const auto& j) { return !j->stopFlag->load(); }));
}
