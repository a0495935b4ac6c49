#pragma once

#include "analytics/AnalyticsPersistObject.h"

#include <QString>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// A bounded in-memory queue of records: priorities 0 and 1 at the head,
// 2 and 3 at the tail, anything else not kept. When full, a head record may
// push out the last tail record.
class AnaDataPersistQueue {
public:
    using Record = std::shared_ptr<AnalyticsPersistObject>;
    using Records = std::vector<Record>;
    using Selector = std::function<QString(const AnalyticsPersistObject&)>;

    AnaDataPersistQueue();
    static AnaDataPersistQueue& sharedInstance();

    void addObject(const Record& record);
    void setMaxSize(int size);
    int maxSize() const;
    // The records counted against maxSize.
    int currSize() const;
    int getMaxSize() const { return maxSize(); }
    int getCurrSize() const { return currSize(); }
    bool isFUll() const;
    Records fetchAllObjectsAndClean();
    Records getAllObjects() const;
    // The first record (head list first) whose selector gives the text.
    Record findObjBySelector(const Selector& selector, const QString& value) const;

    Records headList() const;
    Records tailList() const;

private:
    void addToHeadList(const Record& record);
    void addToTailList(const Record& record);

    mutable std::mutex m_mutex;
    Records m_headList;
    Records m_tailList;
    int m_maxSize = 20;
    int m_currSize = 0;
};
