#include "analytics/buffer/AnaLocalDataRecordInterface.h"

#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/buffer/AnaPersistListener.h"
#include "analytics/facade/Analytics.h"
#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/strategy/LocalStrategy.h"
#include "platform/core/MainThread.h"
#include "platform/core/ThreadHooks.h"

#include <QCoreApplication>
#include <QObject>

AnaLocalDataRecordInterface::AnaLocalDataRecordInterface(AnaSqlitePersistHandler* store, Analytics* facade)
    : m_store(store), m_facade(facade), m_timerHost(std::make_unique<QObject>())
{
    if (auto* app = QCoreApplication::instance())
        m_timerHost->moveToThread(app->thread());
    m_thread = ThreadHooks::start("ana.persist", [this] { flushToPersist(); });
}

AnaLocalDataRecordInterface::~AnaLocalDataRecordInterface()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_cv.notify_all();
    m_thread.join();
    if (MainThread::isMainThread() || !QCoreApplication::instance())
        m_timerHost.reset();
    else
        m_timerHost.release()->deleteLater();
}

AnaLocalDataRecordInterface& AnaLocalDataRecordInterface::sharedInstance()
{
    static AnaLocalDataRecordInterface instance;
    return instance;
}

void AnaLocalDataRecordInterface::saveObject(const AnaDataPersistQueue::Record& record)
{
    std::lock_guard lock(m_mutex);
    if (!m_timerArmed && !m_pending)
        armTimerLocked();
    m_queue.addObject(record);
    if (m_queue.getCurrSize() >= m_queue.getMaxSize() && !m_pending)
        notifyToPersist();
}

void AnaLocalDataRecordInterface::saveObjects(const AnaDataPersistQueue::Records& records)
{
    for (const auto& record : records)
        saveObject(record);
}

void AnaLocalDataRecordInterface::setPersistListener(AnaPersistListener* listener)
{
    std::lock_guard lock(m_mutex);
    m_listener = listener;
}

void AnaLocalDataRecordInterface::setMaxTriggerTime(int seconds)
{
    setMaxTriggerTimeMs(seconds * 1000);
}

void AnaLocalDataRecordInterface::setMaxTriggerTimeMs(int ms)
{
    std::lock_guard lock(m_mutex);
    m_maxTimeMs = ms;
}

void AnaLocalDataRecordInterface::setMaxSize(int size)
{
    std::lock_guard lock(m_mutex);
    m_queue.setMaxSize(size);
    // A smaller limit than what is held still flushes.
    if (m_queue.getCurrSize() > 0 && m_queue.getCurrSize() >= size && !m_pending)
        notifyToPersist();
}

bool AnaLocalDataRecordInterface::isFull() const
{
    std::lock_guard lock(m_mutex);
    return m_queue.isFUll() && m_pending;
}

int AnaLocalDataRecordInterface::hasBufferData() const
{
    return m_queue.getCurrSize();
}

AnaDataPersistQueue::Record AnaLocalDataRecordInterface::findObjBySelector(
    const AnaDataPersistQueue::Selector& selector, const QString& value) const
{
    return m_queue.findObjBySelector(selector, value);
}

bool AnaLocalDataRecordInterface::timerArmed() const
{
    std::lock_guard lock(m_mutex);
    return m_timerArmed;
}

void AnaLocalDataRecordInterface::armTimerLocked()
{
    m_timerArmed = true;
    const unsigned generation = ++m_timerGeneration;
    MainThread::after(m_maxTimeMs, m_timerHost.get(), [this, generation] { timerFire(generation); });
}

void AnaLocalDataRecordInterface::timerFire(unsigned generation)
{
    std::lock_guard lock(m_mutex);
    if (generation != m_timerGeneration)
        return;   // replaced or dropped meanwhile
    m_timerArmed = false;
    if (!m_pending && m_queue.getCurrSize() > 0)
        notifyToPersist();
}

void AnaLocalDataRecordInterface::notifyToPersist()
{
    ++m_timerGeneration;   // drops the running timer
    m_timerArmed = false;
    m_pending = true;
    m_cv.notify_all();
}

void AnaLocalDataRecordInterface::flushObjectsToDB()
{
    AnaDataPersistQueue::Records records;
    {
        std::lock_guard lock(m_mutex);
        records = m_queue.fetchAllObjectsAndClean();
    }
    if (!records.empty())
        (m_store ? *m_store : AnaSqlitePersistHandler::getDefaultHandler()).saveObjects(records, nullptr);
}

void AnaLocalDataRecordInterface::persist(const AnaDataPersistQueue::Records& records)
{
    Analytics& facade = m_facade ? *m_facade : Analytics::getDefualtAnalytics();
    AnaSqlitePersistHandler& store = m_store ? *m_store : facade.store();
    AnaError error;
    const int count = store.getObjectCount(&error);
    const bool countFailed = error.code != 0 || count < 0;
    if (!countFailed && count < facade.strategy()->dbMaxSize && !records.empty())
        store.saveObjects(records, nullptr);
    AnaPersistListener* listener = nullptr;
    {
        std::lock_guard lock(m_mutex);
        listener = m_listener;
    }
    if (listener)
        facade.operations().addOperation([listener] { listener->onPersist(); });
}

void AnaLocalDataRecordInterface::flushToPersist()
{
    for (;;) {
        AnaDataPersistQueue::Records records;
        {
            std::unique_lock lock(m_mutex);
            m_cv.wait(lock, [this] { return m_pending || m_stopping; });
            if (m_stopping)
                return;
            records = m_queue.fetchAllObjectsAndClean();
        }
        persist(records);
        ++m_flushes;
        std::lock_guard lock(m_mutex);
        m_pending = false;
        if (m_queue.getCurrSize() >= m_queue.getMaxSize())
            notifyToPersist();
        else if (m_queue.getCurrSize() > 0 && !m_timerArmed)
            armTimerLocked();
    }
}
