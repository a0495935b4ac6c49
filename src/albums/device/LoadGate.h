#pragma once

// The device album's load gate, used on the main thread only: loads never
// overlap, and requests made during a load give exactly one more load once it
// ends, whether it succeeded or failed. Every load carries a ticket; an answer
// whose ticket is not the current one is stale and is dropped.
class LoadGate {
public:
    struct Ticket {
        unsigned generation = 0;
        int kind = 0;  // what was asked for (0 photos, 1 videos)
    };

    // True when a load should start now (with ticket()); otherwise the
    // request is remembered.
    bool request(int kind);
    // The load with this ticket ended. Returns true when it was the current
    // load and a remembered request now starts one more (see ticket()).
    bool finish(const Ticket& ticket);
    bool accepts(const Ticket& ticket) const { return m_updating && ticket.generation == m_ticket.generation; }

    const Ticket& ticket() const { return m_ticket; }
    bool isUpdating() const { return m_updating; }
    bool needUpdate() const { return m_needUpdate; }
    void setNeedUpdate(bool need) { m_needUpdate = need; }
    // Forgets the running load (its answer will be dropped) and any wish.
    void reset();

private:
    void start(int kind);

    Ticket m_ticket;
    bool m_updating = false;
    bool m_needUpdate = false;
    int m_wantedKind = 0;
};
