#pragma once

#include <string>
#include <thread>

// Every thread the project starts runs the registered start hook first (the
// crash reporter uses it to give each thread its own alternate signal stack)
// and carries a name.
namespace ThreadHooks {

using StartHook = void (*)();

void setStartHook(StartHook hook);
// Runs the hook and names the calling thread (at most 15 characters are kept).
void threadStarted(const std::string& name);

// Starts a std::thread that calls threadStarted(name) before fn.
template <typename Fn>
std::thread start(std::string name, Fn&& fn)
{
    return std::thread([name = std::move(name), fn = std::forward<Fn>(fn)]() mutable {
        threadStarted(name);
        fn();
    });
}

}
