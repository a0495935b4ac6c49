#pragma once

// What actually keeps the display awake: told once when the first hold is
// taken and once when the last one goes.
class IdleInhibitBackend {
public:
    virtual ~IdleInhibitBackend() = default;
    virtual void setInhibited(bool inhibited) = 0;
};
