#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A named queue of keyed jobs run by at most `width` owned threads (started
// on demand). Each job runs exactly once: either its body on a worker, or,
// when it is stopped before a worker took it, its `stopped` callback (on the
// caller of stop). A running body sees its stop flag and ends early on its
// own. Closing (and the destructor) stops everything and joins the workers;
// a job enqueued after that answers through `stopped` at once.
class DiskWorkQueue {
public:
    using Body = std::function<void(const std::atomic<bool>& stop)>;

    DiskWorkQueue(std::string name, int width);
    ~DiskWorkQueue();
    DiskWorkQueue(const DiskWorkQueue&) = delete;
    DiskWorkQueue& operator=(const DiskWorkQueue&) = delete;

    void enqueue(const QString& key, Body body, std::function<void()> stopped);
    // Stops the jobs of a key (queued ones answer through `stopped` at once).
    void stop(const QString& key);
    void stopAll();
    // Stops every job and joins the workers; the queue takes no more work.
    void close();
    // Whether a job of the key is queued or running.
    bool contains(const QString& key);
    // The jobs queued or running, those being stopped left out.
    int count();

private:
    struct Job {
        QString key;
        Body body;
        std::function<void()> stopped;
        std::shared_ptr<std::atomic<bool>> stopFlag = std::make_shared<std::atomic<bool>>(false);
    };
    void run();
    void stopMatching(const std::function<bool(const QString&)>& match);

    std::string m_name;
    int m_width;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<std::shared_ptr<Job>> m_queued;
    std::vector<std::shared_ptr<Job>> m_running;
    std::vector<std::thread> m_threads;
    int m_idle = 0;
    bool m_closing = false;
};
