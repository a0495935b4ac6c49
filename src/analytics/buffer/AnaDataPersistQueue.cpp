#include "analytics/buffer/AnaDataPersistQueue.h"

AnaDataPersistQueue::AnaDataPersistQueue() = default;

AnaDataPersistQueue& AnaDataPersistQueue::sharedInstance()
{
    static AnaDataPersistQueue queue;
    return queue;
}

void AnaDataPersistQueue::addObject(const Record& record)
{
    if (!record)
        return;
    std::lock_guard lock(m_mutex);
    if (int(m_headList.size()) >= m_maxSize && m_currSize >= m_maxSize)
        return;
    const int priority = record->priority();
    if (priority == 2 || priority == 3)
        addToTailList(record);
    else if (priority == 0 || priority == 1)
        addToHeadList(record);
}

void AnaDataPersistQueue::addToTailList(const Record& record)
{
    if (m_currSize < m_maxSize) {
        m_tailList.push_back(record);
        ++m_currSize;
    }
}

void AnaDataPersistQueue::addToHeadList(const Record& record)
{
    if (m_currSize < m_maxSize) {
        m_headList.push_back(record);
        ++m_currSize;
    } else if (int(m_headList.size()) < m_maxSize && !m_tailList.empty()) {
        m_tailList.pop_back();
        m_headList.push_back(record);
    }
}

void AnaDataPersistQueue::setMaxSize(int size)
{
    std::lock_guard lock(m_mutex);
    if (size == m_maxSize)
        return;
    m_maxSize = size;
    Records head;
    Records tail;
    head.reserve(size_t(std::max(size, 0)));
    tail.reserve(size_t(std::max(size, 0)));
    head.insert(head.end(), m_headList.begin(), m_headList.end());
    tail.insert(tail.end(), m_tailList.begin(), m_tailList.end());
    m_headList.swap(head);
    m_tailList.swap(tail);
}

int AnaDataPersistQueue::maxSize() const
{
    std::lock_guard lock(m_mutex);
    return m_maxSize;
}

int AnaDataPersistQueue::currSize() const
{
    std::lock_guard lock(m_mutex);
    return m_currSize;
}

bool AnaDataPersistQueue::isFUll() const
{
    std::lock_guard lock(m_mutex);
    return int(m_headList.size()) >= m_maxSize;
}

AnaDataPersistQueue::Records AnaDataPersistQueue::fetchAllObjectsAndClean()
{
    std::lock_guard lock(m_mutex);
    Records all;
    all.swap(m_headList);
    all.insert(all.end(), m_tailList.begin(), m_tailList.end());
    m_tailList.clear();
    m_currSize = 0;
    return all;
}

AnaDataPersistQueue::Records AnaDataPersistQueue::getAllObjects() const
{
    std::lock_guard lock(m_mutex);
    Records all = m_headList;
    all.insert(all.end(), m_tailList.begin(), m_tailList.end());
    return all;
}

AnaDataPersistQueue::Record AnaDataPersistQueue::findObjBySelector(const Selector& selector,
                                                                   const QString& value) const
{
    if (!selector)
        return nullptr;
    std::lock_guard lock(m_mutex);
    for (const Records* list : {&m_headList, &m_tailList})
        for (const auto& record : *list)
            if (selector(*record) == value)
                return record;
    return nullptr;
}

AnaDataPersistQueue::Records AnaDataPersistQueue::headList() const
{
    std::lock_guard lock(m_mutex);
    return m_headList;
}

AnaDataPersistQueue::Records AnaDataPersistQueue::tailList() const
{
    std::lock_guard lock(m_mutex);
    return m_tailList;
}
