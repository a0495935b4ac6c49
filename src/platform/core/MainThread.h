#pragma once

#include <QObject>

#include <functional>

// The Qt GUI thread is the application's main thread: widgets and the
// screens' state are touched only there, and workers hand results to it here.
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
