#include "albums/widgets/ImageLoadPool.h"

#include "platform/core/MainThread.h"
#include "platform/core/ThreadHooks.h"
#include "platform/media/DecodeMemoryBudget.h"

#include <QCoreApplication>
#include <QPointer>

ImageLoadPool& ImageLoadPool::shared()
{
    static ImageLoadPool instance(3, "Thumbnails");
    static const bool stopsAtQuit = [] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, [] { instance.stop(); });
        return true;
    }();
    (void)stopsAtQuit;
    return instance;
}

ImageLoadPool::ImageLoadPool(int threads, const char* threadName) : m_threadName(threadName)
{
    m_pool.setMaxThreadCount(std::max(1, threads));
}

ImageLoadPool::~ImageLoadPool()
{
    stop();
}

void ImageLoadPool::stop()
{
    m_stopped = true;
    m_pool.clear();
    m_pool.waitForDone();
}

void ImageLoadPool::run(std::function<void()> fn)
{
    if (m_stopped || !fn)
        return;
    m_pool.start([name = m_threadName, fn = std::move(fn)] {
        thread_local bool named = false;
        if (!named) {
            ThreadHooks::threadStarted(name);
            named = true;
        }
        fn();
    });
}

void ImageLoadPool::load(QObject* receiver, ImageJob job, Wanted wanted, Apply apply)
{
    if (!job)
        return;
    QPointer<QObject> guard(receiver);
    run([this, guard, job = std::move(job), wanted = std::move(wanted), apply = std::move(apply)] {
        if (!guard || (wanted && !wanted()))
            return;  // gone or superseded before its turn: nothing to read
        // A decode still waiting for memory when the pool stops, or once its
        // answer is no longer wanted, gives up.
        const DecodeMemoryBudget::StopCheck stopCheck([this, &wanted] { return m_stopped || (wanted && !wanted()); });
        QImage image = job();
        if (m_stopped)
            return;  // what a stop cut short is not shown
        MainThread::post([guard, wanted, apply, image = std::move(image)] {
            if (guard && (!wanted || wanted()))
                apply(image);
        });
    });
}
