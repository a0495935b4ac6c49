#pragma once

#include <QImage>
#include <QObject>
#include <QThreadPool>

#include <functional>

// A reading of an image (a library thumbnail, a full-screen picture, a
// deciphered file), safe to run on any thread.
using ImageJob = std::function<QImage()>;

// Runs the browsers' image readings on a small bounded pool and hands each
// result to the main thread. A job whose receiver is gone, or that is no
// longer wanted (`wanted` is asked on the worker before it starts and on the
// main thread before the result is applied), is dropped. The destructor
// drops the queued jobs and waits for the running ones, so no worker
// outlives its owner.
class BrowserImageLoader {
public:
    using Wanted = std::function<bool()>;
    using Apply = std::function<void(const QImage&)>;

    explicit BrowserImageLoader(int threads, const char* threadName = "BrowserImages");
    ~BrowserImageLoader();
    BrowserImageLoader(const BrowserImageLoader&) = delete;
    BrowserImageLoader& operator=(const BrowserImageLoader&) = delete;

    // `wanted` may be empty (always wanted); it must be safe from any thread.
    void load(QObject* receiver, ImageJob job, Wanted wanted, Apply apply);
    void waitForDone() { m_pool.waitForDone(); }

private:
    QThreadPool m_pool;
    const char* m_threadName;
};
