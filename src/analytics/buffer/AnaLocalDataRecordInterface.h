#pragma once

#include "analytics/buffer/AnaDataPersistQueue.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

class AnaPersistListener;
class AnaSqlitePersistHandler;
class Analytics;
class QObject;

// Buffers records in memory and flushes them to the store from its own
// thread when the queue fills or maxTime after the first record, then tells
// the persist listener. The wake-up cannot be lost: the flush thread waits
// for a pending flag, not for a bare signal, and records left after a flush
// re-arm the timer.
class AnaLocalDataRecordInterface {
public:
    // Null collaborators take the process-wide ones when first needed.
    explicit AnaLocalDataRecordInterface(AnaSqlitePersistHandler* store = nullptr, Analytics* facade = nullptr);
    ~AnaLocalDataRecordInterface();
    static AnaLocalDataRecordInterface& sharedInstance();

    void saveObject(const AnaDataPersistQueue::Record& record);
    void saveObjects(const AnaDataPersistQueue::Records& records);
    void setPersistListener(AnaPersistListener* listener);
    void setMaxTriggerTime(int seconds);
    void setMaxTriggerTimeMs(int ms);   // tests
    void setMaxSize(int size);
    bool isFull() const;
    int hasBufferData() const;
    AnaDataPersistQueue::Record findObjBySelector(const AnaDataPersistQueue::Selector& selector,
                                                   const QString& value) const;
    // Stores every buffered record at once.
    void flushObjectsToDB();

    int flushCount() const { return m_flushes.load(); }
    bool timerArmed() const;

private:
    void armTimerLocked();
    void timerFire(unsigned generation);
    // Wakes the flush (the caller holds m_mutex).
    void notifyToPersist();
    // The flush thread's loop: waits for a notice, stores, tells the listener.
    void flushToPersist();
    void persist(const AnaDataPersistQueue::Records& records);

    AnaSqlitePersistHandler* m_store;
    Analytics* m_facade;
    AnaDataPersistQueue m_queue;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    AnaPersistListener* m_listener = nullptr;
    int m_maxTimeMs = 30000;
    bool m_timerArmed = false;
    unsigned m_timerGeneration = 0;
    bool m_pending = false;
    bool m_stopping = false;
    std::atomic<int> m_flushes{0};
    std::unique_ptr<QObject> m_timerHost;
    std::thread m_thread;
};
