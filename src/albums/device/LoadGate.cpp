#include "albums/device/LoadGate.h"

void LoadGate::start(int kind)
{
    ++m_ticket.generation;
    m_ticket.kind = kind;
    m_updating = true;
}

bool LoadGate::request(int kind)
{
    m_wantedKind = kind;
    if (m_updating) {
        m_needUpdate = true;
        return false;
    }
    start(kind);
    return true;
}

bool LoadGate::finish(const Ticket& ticket)
{
    if (!accepts(ticket))
        return false;
    m_updating = false;
    if (!m_needUpdate)
        return false;
    m_needUpdate = false;
    start(m_wantedKind);
    return true;
}

void LoadGate::reset()
{
    m_updating = false;
    m_needUpdate = false;
    ++m_ticket.generation;
}
