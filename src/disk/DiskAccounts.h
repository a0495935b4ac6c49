#pragma once

#include <QString>
#include <QtGlobal>

#include <mutex>
#include <utility>

class DiskStore;

// The accounts of the local disk store. The first sign-in of an unknown
// account number creates the account with that password (when another
// process creates it at the same moment, the sign-in is to that one), kept as
// "pbkdf2-sha256$<iterations>$<hex key>" over a random salt of the account's
// own. A digest of the older form (the SHA-1 of "<salt>:<password>") is still
// accepted and replaced at its next successful sign-in. Every sign-in starts
// a new sign-in key, good for DiskStore::kSessionLifetimeMs; lapsed keys are
// removed then. After three wrong passwords in a row every further attempt
// must carry the code of a verification image the store draws: without one
// it answers 209, with a wrong one 101 (each with a new image). A success
// resets the count. An account whose row is damaged (an iteration count past
// kMaxIterations), or lost while folders or files still name it, is refused
// with kDamagedAccount and the log says why. Orphan blobs name no account:
// an account created over them is logged, and they are left alone.
class DiskAccounts {
public:
    static constexpr int kOk = 0;
    static constexpr int kWrongCode = 101;
    static constexpr int kBadAccount = 202;      // not an account number
    static constexpr int kWrongPassword = 203;
    static constexpr int kNeedCode = 209;
    static constexpr int kStoreFailure = 500;
    // The account's row is damaged or lost while its folders or files remain.
    static constexpr int kDamagedAccount = 501;
    static constexpr int kWrongBeforeCode = 3;
    static constexpr unsigned kIterations = 100000;
    // A stored count past this is a damaged row: its cost would hold sign-in up for minutes.
    static constexpr unsigned kMaxIterations = 10000000;

    struct LoginReply {
        int result = kStoreFailure;
        QString sessionKey;        // on success
        QString verifyImageUrl;    // "file://..." PNG, with 101 and 209
    };

    // A sign-in starts a sign-in key; a check of the password (binding,
    // recovery) answers the same but starts none.
    enum class Purpose { SignIn, Check };

    explicit DiskAccounts(DiskStore& store);

    LoginReply login(const QString& user, const QString& password, const QString& code,
                     Purpose purpose = Purpose::SignIn);

    // The code of the account's current verification image (empty when none);
    // the store's own view, as the service would hold it.
    QString pendingVerifyCode(qint64 uin);

private:
    // mayCreate: an unknown account is created (false once a creation lost
    // to another process's).
    LoginReply loginLocked(qint64 uin, const QString& password, const QString& code, Purpose purpose, bool mayCreate);
    LoginReply create(qint64 uin, const QString& password, Purpose purpose);
    LoginReply startSession(qint64 uin);
    LoginReply askForCode(qint64 uin, int result);
    // Whether a stored digest of the current form names an iteration count
    // that is not from 1 to kMaxIterations.
    static bool hasDamagedCost(const QString& stored);
    // Whether password matches the stored digest, of either form.
    static bool matches(const QString& salt, const QString& stored, const QString& password);
    static bool isCurrentForm(const QString& stored);
    // A new salt and its digest of password, in the current form.
    static std::pair<QString, QString> newDigest(const QString& password);

    DiskStore& m_store;
    std::mutex m_mutex;   // one sign-in at a time: the counts are read, then written
};
