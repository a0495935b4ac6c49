#pragma once

#include "disk/ZEBConnectionAuthDelegate.h"

#include <QMutex>
#include <QString>

#include <functional>
#include <memory>

class DiskStore;
class DiskWorkQueue;

// Signs in to a disk account. A sign-in runs on the model's own thread and
// answers, on the main thread, the delegate that was set when it started
// (if it is still there). On success the shared model holds the sign-in key
// the facade's commands carry.
class DiskLoginModel {
public:
    using StoreProvider = std::function<std::shared_ptr<DiskStore>()>;

    enum Tag { kTagSuccess = 0, kTagWrongPassword = 1, kTagNoNetwork = 2, kTagTransport = 3, kTagOther = 4 };
    // Keep: a sign-in, whose key becomes the model's session key. Discard: a
    // check of the password only, which starts no sign-in key in the store.
    enum class Session { Keep, Discard };

    static DiskLoginModel& sharedInstance();
    // Checks an account's password only (the recovery binding): over the
    // shared store, but its sign-ins never touch the key of sharedInstance(),
    // so whatever the cloud disk is signed in to stays signed in.
    static DiskLoginModel& credentialCheckInstance();
    explicit DiskLoginModel(StoreProvider store, Session session = Session::Keep);
    ~DiskLoginModel();
    DiskLoginModel(const DiskLoginModel&) = delete;
    DiskLoginModel& operator=(const DiskLoginModel&) = delete;

    ZEBConnectionAuthDelegate* delegate() const;
    void setDelegate(ZEBConnectionAuthDelegate* delegate);

    // code: the verification code, or empty.
    void loginWithUserName(const QString& user, const QString& password, const QString& code = QString());

    QString sessionKey() const;
    void setSessionKey(const QString& key);

private:
    StoreProvider m_store;
    Session m_session;
    mutable QMutex m_mutex;
    QString m_sessionKey;
    DiskWeakRef<ZEBConnectionAuthDelegate> m_delegate;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
    std::unique_ptr<DiskWorkQueue> m_queue;   // last: joined first
};
