#include "platform/core/MainThread.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>
#include <QTimer>

namespace MainThread {

bool isMainThread()
{
    auto* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void post(std::function<void()> fn)
{
    auto* app = QCoreApplication::instance();
    if (!app)
        return;
    QMetaObject::invokeMethod(app, std::move(fn), Qt::QueuedConnection);
}

void postAndWait(const std::function<void()>& fn)
{
    auto* app = QCoreApplication::instance();
    if (!app)
        return;
    if (isMainThread()) {
        fn();
        return;
    }
    QMetaObject::invokeMethod(app, fn, Qt::BlockingQueuedConnection);
}

void after(int ms, QObject* owner, std::function<void()> fn)
{
    if (isMainThread()) {
        QTimer::singleShot(ms, owner, std::move(fn));
        return;
    }
    QPointer<QObject> guard(owner);
    post([guard, ms, fn = std::move(fn)]() mutable {
        if (guard)
            QTimer::singleShot(ms, guard.data(), std::move(fn));
    });
}

}
