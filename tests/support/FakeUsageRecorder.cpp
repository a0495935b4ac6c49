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

bool FakeUsageRecorder::revertExCrash()
{
    std::lock_guard lock(m_mutex);
    ++m_revertCalls;
    return !m_failing;
}

bool FakeUsageRecorder::removeCrashRecords()
{
    std::lock_guard lock(m_mutex);
    ++m_removeCalls;
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

int FakeUsageRecorder::removeCalls() const
{
    std::lock_guard lock(m_mutex);
    return m_removeCalls;
}

void FakeUsageRecorder::setFailing(bool failing)
{
    std::lock_guard lock(m_mutex);
    m_failing = failing;
}
