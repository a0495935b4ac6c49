#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

// A named serial queue: one owned worker thread runs the submitted tasks one
// at a time, in order. The destructor finishes the queued tasks and joins.
class SerialQueue {
public:
    explicit SerialQueue(std::string name);
    ~SerialQueue();
    SerialQueue(const SerialQueue&) = delete;
    SerialQueue& operator=(const SerialQueue&) = delete;

    const std::string& name() const { return m_name; }
    void async(std::function<void()> task);
    // Runs task on the queue and waits for it (must not be called from the queue).
    void sync(const std::function<void()>& task);
    // Waits until every task queued so far has run.
    void drain();
    bool isCurrent() const { return std::this_thread::get_id() == m_thread.get_id(); }

private:
    void run();

    std::string m_name;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::function<void()>> m_tasks;
    bool m_stopping = false;
    std::thread m_thread;
};
