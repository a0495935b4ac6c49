#pragma once

#include <QImage>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>

// A reading of an image (a library thumbnail, a full-screen picture, a
// deciphered file), safe to run on any thread.
using ImageJob = std::function<QImage()>;

// Runs image readings on a small bounded pool of named threads and hands
// each result to the main thread. A job whose receiver is gone, or that is
// no longer wanted (`wanted` is asked on the worker before it starts and on
// the main thread before the result is applied), is dropped.
//
// stop() drops the queued jobs, waits for the ones in hand (a decode of
// theirs still waiting for memory gives up, as does one no longer wanted)
// and refuses new ones; the destructor does the same, so no worker outlives its owner. The
// shared pool (the album grids' thumbnails and the albums' other background
// reads) stops when the application is about to quit, so no decode outlives
// the application object and its image plugins.
class ImageLoadPool {
public:
    using Wanted = std::function<bool()>;
    using Apply = std::function<void(const QImage&)>;

    static ImageLoadPool& shared();

    explicit ImageLoadPool(int threads, const char* threadName);
    ~ImageLoadPool();
    ImageLoadPool(const ImageLoadPool&) = delete;
    ImageLoadPool& operator=(const ImageLoadPool&) = delete;

    // `wanted` may be empty (always wanted); it must be safe from any thread.
    void load(QObject* receiver, ImageJob job, Wanted wanted, Apply apply);
    // Runs fn on the pool (work that posts its own results).
    void run(std::function<void()> fn);
    void waitForDone() { m_pool.waitForDone(); }
    void stop();

private:
    QThreadPool m_pool;
    const char* m_threadName;
    std::atomic<bool> m_stopped{false};
};
