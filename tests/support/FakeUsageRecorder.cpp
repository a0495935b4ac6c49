#include "support/FakeUsageRecorder.h"

FakeUsageRecorder::FakeUsageRecorder() : m_previous(UsageRecorder::shared())
{
    UsageRecorder::setShared(this);
}

FakeUsageRecorder::~FakeUsageRecorder()
{
    UsageRecorder::setShared(m_previous);
}

bool FakeUsageRecorder::insertRecordForType(int type)
{
    std::lock_guard lock(m_mutex);
    m_types.push_back(type);
    return !m_failing;
}

bool FakeUsageRecorder::insertCrashRecords(qint64 crashKey, const std::vector<int>& types)
{
    std::lock_guard lock(m_mutex);
    if (m_failing)
        return false;
    if (m_crashKeys.insert(crashKey).second)
        m_types.insert(m_types.end(), types.begin(), types.end());
    return true;
}

bool FakeUsageRecorder::revertExCrash()
{
    std::lock_guard lock(m_mutex);
    ++m_revertCalls;
    return !m_failing;
}

bool FakeUsageRecorder::removeCrashRecordsBefore(qint64 secondsSince1970)
{
    std::lock_guard lock(m_mutex);
    m_removedBefore.push_back(secondsSince1970);
    return !m_failing;
}

std::vector<int> FakeUsageRecorder::types() const
{
    std::lock_guard lock(m_mutex);
    return m_types;
}

int FakeUsageRecorder::revertCalls() const
{
    std::lock_guard lock(m_mutex);
    return m_revertCalls;
}

std::vector<qint64> FakeUsageRecorder::removedBefore() const
{
    std::lock_guard lock(m_mutex);
    return m_removedBefore;
}

void FakeUsageRecorder::setFailing(bool failing)
{
    std::lock_guard lock(m_mutex);
    m_failing = failing;
}
