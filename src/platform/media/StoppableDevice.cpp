#include "platform/media/StoppableDevice.h"

#include "platform/media/DecodeMemoryBudget.h"

StoppableDevice::StoppableDevice(QIODevice* source) : m_source(source), m_start(source->pos())
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

bool StoppableDevice::isSequential() const
{
    return m_source->isSequential();
}

qint64 StoppableDevice::size() const
{
    return isSequential() ? 0 : std::max<qint64>(0, m_source->size() - m_start);
}

qint64 StoppableDevice::readData(char* data, qint64 maxSize)
{
    if (DecodeMemoryBudget::stopRequested())
        return 0;
    if (!isSequential() && m_source->pos() != m_start + pos() && !m_source->seek(m_start + pos()))
        return -1;
    return m_source->read(data, maxSize);
}
