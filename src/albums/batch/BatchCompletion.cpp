#include "albums/batch/BatchCompletion.h"

BatchCompletion::BatchCompletion(unsigned index, AnswerSink answer, ProgressSink progress)
    : m_slot(std::make_shared<Slot>())
{
    m_slot->index = index;
    m_slot->answer = std::move(answer);
    m_slot->progress = std::move(progress);
}

unsigned BatchCompletion::index() const
{
    return m_slot ? m_slot->index : 0;
}

bool BatchCompletion::finish(bool succeeded)
{
    if (!withdraw())
        return false;
    if (m_slot->answer)
        m_slot->answer(succeeded);
    return true;
}

void BatchCompletion::progress(float fraction) const
{
    if (m_slot && !m_slot->answered.load() && m_slot->progress)
        m_slot->progress(fraction);
}

bool BatchCompletion::isAnswered() const
{
    return !m_slot || m_slot->answered.load();
}

bool BatchCompletion::withdraw()
{
    return m_slot && !m_slot->answered.exchange(true);
}

BatchCompletion::Wait BatchCompletion::beginWait() const
{
    return Wait(m_slot);
}

unsigned BatchCompletion::waitMark() const
{
    return m_slot ? m_slot->waits.load() : 0;
}

BatchCompletion::Wait::Wait(std::shared_ptr<Slot> slot) : m_slot(std::move(slot))
{
    if (m_slot)
        ++m_slot->waits;
}

BatchCompletion::Wait::~Wait()
{
    if (m_slot)
        ++m_slot->waits;
}
