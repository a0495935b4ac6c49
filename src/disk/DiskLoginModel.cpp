#include "disk/DiskLoginModel.h"

#include "disk/DiskAccounts.h"
#include "disk/DiskStore.h"
#include "disk/DiskWorkQueue.h"
#include "platform/core/MainThread.h"

DiskLoginModel& DiskLoginModel::sharedInstance()
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    static DiskLoginModel model([] { return DiskStore::shared(); });
    return model;
}

DiskLoginModel& DiskLoginModel::credentialCheckInstance()
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    static DiskLoginModel model([] { return DiskStore::shared(); }, Session::Discard);
    return model;
}

DiskLoginModel::DiskLoginModel(StoreProvider store, Session session)
    : m_store(std::move(store)), m_session(session), m_queue(std::make_unique<DiskWorkQueue>("DiskLogin", 1))
{
}

DiskLoginModel::~DiskLoginModel()
{
    m_queue.reset();
}

ZEBConnectionAuthDelegate* DiskLoginModel::delegate() const
{
    return m_delegate.get();
}

void DiskLoginModel::setDelegate(ZEBConnectionAuthDelegate* delegate)
{
    m_delegate = DiskWeakRef<ZEBConnectionAuthDelegate>(delegate);
}

QString DiskLoginModel::sessionKey() const
{
    QMutexLocker lock(&m_mutex);
    return m_sessionKey;
}

void DiskLoginModel::setSessionKey(const QString& key)
{
    QMutexLocker lock(&m_mutex);
    m_sessionKey = key;
}

void DiskLoginModel::loginWithUserName(const QString& user, const QString& password, const QString& code)
{
    // The answer goes to the delegate of this sign-in, not to a later one.
    const DiskWeakRef<ZEBConnectionAuthDelegate> target = m_delegate;
    m_queue->enqueue(
        "login",
        [this, user, password, code, target](const std::atomic<bool>&) {
            const std::shared_ptr<DiskStore> store = m_store ? m_store() : nullptr;
            DiskAccounts::LoginReply reply;
            bool reached = store != nullptr;
            if (reached)
                reply = store->accounts().login(user, password, code,
                                                m_session == Session::Keep ? DiskAccounts::Purpose::SignIn
                                                                           : DiskAccounts::Purpose::Check);
            reached = reached && reply.result != DiskAccounts::kStoreFailure;
            MainThread::post([this, alive = std::weak_ptr<char>(m_alive), target, reply, reached] {
                if (alive.expired())
                    return;
                if (reply.result == DiskAccounts::kOk && reached && m_session == Session::Keep)
                    setSessionKey(reply.sessionKey);
                ZEBConnectionAuthDelegate* d = target.get();
                if (!d)
                    return;
                if (!reached)
                    d->loginResult(false, kTagTransport);
                else if (reply.result == DiskAccounts::kOk)
                    d->loginResult(true, kTagSuccess);
                else if (reply.result == DiskAccounts::kWrongPassword)
                    d->loginResult(false, kTagWrongPassword);
                else if (reply.result == DiskAccounts::kWrongCode || reply.result == DiskAccounts::kNeedCode)
                    d->loginNeedVerfy(reply.verifyImageUrl, reply.result == DiskAccounts::kWrongCode);
                else
                    d->loginResult(false, kTagOther);
            });
        },
        {});
}
