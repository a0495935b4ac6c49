#pragma once

#include <functional>
#include <string>

// Thread priorities as Linux grants them to an ordinary process: a thread
// may lower its own priority (raise its nice value) but never raise it again,
// nor above the process's, without a privilege the program does not ask
// for. So a priority above normal is not applied, and a lowered one is given
// to a thread that ends with the work.
namespace ThreadPriority {

// The nice value added for a priority from 0.0 (lowest) to 1.0 (highest):
// 0 from 0.5 (normal) up, rising to 19 at 0.0.
int niceIncrementFor(double priority);

// Runs work at priority and returns when it is done. At normal or above it
// runs on the calling thread; below, on a thread of its own (named name)
// whose nice value is raised by niceIncrementFor(priority), so that the
// calling thread keeps its own.
void runAt(double priority, const std::string& name, const std::function<void()>& work);

// The calling thread's nice value as the kernel reports it.
int currentNice();

}
