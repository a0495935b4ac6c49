#pragma once

#include <QObject>

#include <functional>

// The Qt GUI thread stands in for the platform's main queue.
namespace MainThread {

bool isMainThread();

// Runs fn later on the main thread.
void post(std::function<void()> fn);

// Runs fn on the main thread and waits for it; runs inline when already there.
void postAndWait(const std::function<void()>& fn);

// Runs fn on the main thread after ms milliseconds, unless owner is destroyed
// first. May be called from any thread.
void after(int ms, QObject* owner, std::function<void()> fn);

}
