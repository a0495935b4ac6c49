#include "albums/browser/BrowserImageLoader.h"

#include "platform/core/MainThread.h"
#include "platform/core/ThreadHooks.h"

#include <QPointer>

BrowserImageLoader::BrowserImageLoader(int threads, const char* threadName) : m_threadName(threadName)
{
    m_pool.setMaxThreadCount(std::max(1, threads));
}

BrowserImageLoader::~BrowserImageLoader()
{
    m_pool.clear();
    m_pool.waitForDone();
}

void BrowserImageLoader::load(QObject* receiver, ImageJob job, Wanted wanted, Apply apply)
{
    if (!job)
        return;
    QPointer<QObject> guard(receiver);
    const char* name = m_threadName;
    m_pool.start([guard, name, job = std::move(job), wanted = std::move(wanted), apply = std::move(apply)] {
        thread_local bool named = false;
        if (!named) {
            ThreadHooks::threadStarted(name);
            named = true;
        }
        if (!guard || (wanted && !wanted()))
            return;  // superseded before its turn: nothing to read
        QImage image = job();
        MainThread::post([guard, wanted, apply, image = std::move(image)] {
            if (guard && (!wanted || wanted()))
                apply(image);
        });
    });
}
