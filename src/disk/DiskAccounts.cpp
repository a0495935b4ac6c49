#include "disk/DiskAccounts.h"

#include "Public/SqliteDBManager.h"
#include "codec/Digest.h"
#include "disk/DiskStore.h"
#include "disk/DiskVerifyImage.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Uuid.h"

#include <QDir>
#include <QRandomGenerator>
#include <QStringList>
#include <QUrl>

namespace {
const QString kPbkdf2Tag = QStringLiteral("pbkdf2-sha256");

QString pbkdf2(const QString& salt, const QString& password, unsigned iterations)
{
    return QString::fromStdString(
        codec_pbkdf2_sha256_hex(password.toUtf8().toStdString(), salt.toUtf8().toStdString(), iterations));
}
}

DiskAccounts::DiskAccounts(DiskStore& store) : m_store(store) {}

std::pair<QString, QString> DiskAccounts::newDigest(const QString& password)
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    const QString salt = QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(words), sizeof words).toHex());
    return {salt, QStringLiteral("%1$%2$%3").arg(kPbkdf2Tag).arg(kIterations).arg(pbkdf2(salt, password, kIterations))};
}

bool DiskAccounts::isCurrentForm(const QString& stored)
{
    const QStringList parts = stored.split('$');
    return parts.size() == 3 && parts[0] == kPbkdf2Tag && parts[1].toUInt() == kIterations;
}

bool DiskAccounts::hasDamagedCost(const QString& stored)
{
    const QStringList parts = stored.split('$');
    if (parts.size() != 3 || parts[0] != kPbkdf2Tag)
        return false;
    bool ok = false;
    const qulonglong iterations = parts[1].toULongLong(&ok);
    return !ok || iterations == 0 || iterations > kMaxIterations;
}

bool DiskAccounts::matches(const QString& salt, const QString& stored, const QString& password)
{
    const QStringList parts = stored.split('$');
    if (parts.size() == 3 && parts[0] == kPbkdf2Tag) {
        bool ok = false;
        const unsigned iterations = parts[1].toUInt(&ok);
        return ok && iterations > 0 && pbkdf2(salt, password, iterations) == parts[2];
    }
    // The older form.
    return parts.size() == 1
        && QString::fromStdString(codec_sha1_hex((salt + ":" + password).toUtf8().toStdString())) == stored;
}

DiskAccounts::LoginReply DiskAccounts::login(const QString& user, const QString& password, const QString& code,
                                             Purpose purpose)
{
    bool ok = false;
    const qint64 uin = user.toLongLong(&ok);
    if (!ok || uin <= 0 || user.trimmed() != user)
        return {kBadAccount, {}, {}};
    std::lock_guard lock(m_mutex);
    return loginLocked(uin, password, code, purpose, true);
}

DiskAccounts::LoginReply DiskAccounts::loginLocked(qint64 uin, const QString& password, const QString& code,
                                                   Purpose purpose, bool mayCreate)
{
    SqliteDBManager& db = m_store.db();
    QList<QVariantList> rows;
    if (!db.queryValues(&rows, QStringLiteral("SELECT salt, digest, wrong_count, verify_code FROM accounts WHERE uin = ?"),
                        {uin}))
        return {};
    if (rows.isEmpty()) {
        if (!mayCreate)
            return {};
        // Folders or files still naming an account whose row was lost (with
        // a damaged index) are not handed to whatever password comes next.
        QList<QVariantList> left;
        if (!db.queryValues(&left,
                            QStringLiteral("SELECT EXISTS(SELECT 1 FROM folders WHERE uin = ?)"
                                           " OR EXISTS(SELECT 1 FROM files WHERE uin = ?)"),
                            {uin, uin})
            || left.isEmpty())
            return {};
        if (left.first().value(0).toBool()) {
            qWarning("disk store: account %lld has no account row but folders or files that name it (the row was"
                     " lost); its sign-in is refused, not made into a new account",
                     uin);
            return {kDamagedAccount, {}, {}};
        }
        const LoginReply created = create(uin, password, purpose);
        // Another process made the account first: this is a sign-in to it.
        if (created.result == kStoreFailure)
            return loginLocked(uin, password, code, purpose, false);
        if (const int unnamed = m_store.unnamedBlobCount())
            qWarning("disk store: account %lld was created over a store holding %d blobs that no file row names"
                     " (an index that named them was lost); the blobs are left as they are",
                     uin, unnamed);
        return created;
    }
    const QVariantList& row = rows.first();
    if (hasDamagedCost(row[1].toString())) {
        qWarning("disk store: the row of account %lld is damaged (its iteration count is not from 1 to %u);"
                 " its sign-in is refused",
                 uin, kMaxIterations);
        return {kDamagedAccount, {}, {}};
    }
    const int wrong = row[2].toInt();
    if (wrong >= kWrongBeforeCode) {
        const QString pending = row[3].toString();
        if (code.isEmpty())
            return askForCode(uin, kNeedCode);
        if (pending.isEmpty() || code.trimmed().compare(pending, Qt::CaseInsensitive) != 0)
            return askForCode(uin, kWrongCode);
    }
    if (!matches(row[0].toString(), row[1].toString(), password)) {
        if (!db.executeSql(QStringLiteral("UPDATE accounts SET wrong_count = wrong_count + 1, verify_code = NULL"
                                          " WHERE uin = ?"),
                           {uin}))
            return {};
        return {kWrongPassword, {}, {}};
    }
    if (!db.executeSql(QStringLiteral("UPDATE accounts SET wrong_count = 0, verify_code = NULL WHERE uin = ?"), {uin}))
        return {};
    if (!isCurrentForm(row[1].toString())) {
        const auto [salt, digest] = newDigest(password);
        if (!db.executeSql(QStringLiteral("UPDATE accounts SET salt = ?, digest = ? WHERE uin = ?"), {salt, digest, uin}))
            return {};
    }
    return purpose == Purpose::SignIn ? startSession(uin) : LoginReply{kOk, {}, {}};
}

DiskAccounts::LoginReply DiskAccounts::create(qint64 uin, const QString& password, Purpose purpose)
{
    const auto [salt, digest] = newDigest(password);
    const QString rootKey = Uuid::create();
    SqliteDBManager& db = m_store.db();
    const bool created = db.transaction([&] {
        return db.executeSql(QStringLiteral("INSERT INTO accounts(uin, salt, digest, wrong_count, root_key, total_space)"
                                            " VALUES(?,?,?,0,?,?)"),
                             {uin, salt, digest, rootKey, DiskStore::kDefaultTotalSpace})
            && m_store.createFolders(uin, rootKey);
    });
    if (!created)
        return {};
    return purpose == Purpose::SignIn ? startSession(uin) : LoginReply{kOk, {}, {}};
}

DiskAccounts::LoginReply DiskAccounts::startSession(qint64 uin)
{
    const QString key = Uuid::create();
    const qint64 now = m_store.nowMs();
    SqliteDBManager& db = m_store.db();
    if (!db.executeSql(QStringLiteral("DELETE FROM sessions WHERE created <= ?"), {now - DiskStore::kSessionLifetimeMs})
        || !db.executeSql(QStringLiteral("INSERT INTO sessions(skey, uin, created) VALUES(?,?,?)"), {key, uin, now}))
        return {};
    return {kOk, key, {}};
}

DiskAccounts::LoginReply DiskAccounts::askForCode(qint64 uin, int result)
{
    const QString code = DiskVerifyImage::randomCode();
    const QString folder = m_store.root() + "/verify";
    const QString path = folder + QStringLiteral("/%1-%2.png").arg(uin).arg(Uuid::create());
    // Only the newest image of an account is kept.
    QDir dir(folder);
    for (const QString& old : dir.entryList({QStringLiteral("%1-*.png").arg(uin)}, QDir::Files))
        dir.remove(old);
    if (!QDir().mkpath(folder) || !AtomicFile::write(path, DiskVerifyImage::drawPng(code))
        || !m_store.db().executeSql(QStringLiteral("UPDATE accounts SET verify_code = ? WHERE uin = ?"), {code, uin}))
        return {};
    return {result, {}, QUrl::fromLocalFile(path).toString()};
}

QString DiskAccounts::pendingVerifyCode(qint64 uin)
{
    QList<QVariantList> rows;
    m_store.db().queryValues(&rows, QStringLiteral("SELECT verify_code FROM accounts WHERE uin = ?"), {uin});
    return rows.isEmpty() ? QString() : rows.first().value(0).toString();
}
