#pragma once

// The private album's gate, without widgets: what an appearance does, and
// which reload answers may still be shown. Nothing of the album is loaded or
// shown while it is locked; a re-lock makes every answer in flight stale.
class SecretAlbumGate {
public:
    enum class Action { Verify, Load, Nothing };

    struct Shown {
        bool hasVerified = false;
        bool hasItems = false;     // the grid holds items
        bool emptyShown = false;   // the empty view is on screen
        bool editing = false;
        bool isUpdated = false;    // the store changed since the last reload
    };

    // On each appearance: the lock screen while locked; a first load when
    // neither items nor the empty view are shown; otherwise a reload only
    // when the store changed, and never in edit mode.
    static Action onAppear(const Shown& s);

    // A reload starts: its ticket; false (no ticket) while locked.
    bool beginLoad(bool hasVerified, unsigned& ticket);
    // Whether a reload's answer may be shown now.
    bool accepts(unsigned ticket, bool hasVerified) const { return hasVerified && ticket == m_generation; }
    // The album locked again: answers in flight are dropped.
    void relock() { ++m_generation; }
    unsigned generation() const { return m_generation; }

private:
    unsigned m_generation = 0;
};
