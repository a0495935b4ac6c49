#include "crashhandler/CrashState.h"

#include <new>

CrashState& CrashState::instance()
{
    // Never destroyed: a crash during exit still finds it.
    alignas(CrashState) static unsigned char storage[sizeof(CrashState)];
    static CrashState* state = new (storage) CrashState();
    return *state;
}
