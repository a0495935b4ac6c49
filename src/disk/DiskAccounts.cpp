#include "disk/DiskAccounts.h"

#include "Public/SqliteDBManager.h"
#include "codec/Digest.h"
#include "disk/DiskStore.h"
#include "disk/DiskVerifyImage.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Uuid.h"

#include <QDir>
#include <QUrl>

DiskAccounts::DiskAccounts(DiskStore& store) : m_store(store) {}

QString DiskAccounts::digest(const QString& salt, const QString& password)
{
    return QString::fromStdString(codec_sha1_hex((salt + ":" + password).toUtf8().toStdString()));
}

DiskAccounts::LoginReply DiskAccounts::login(const QString& user, const QString& password, const QString& code)
{
    bool ok = false;
    const qint64 uin = user.toLongLong(&ok);
    if (!ok || uin <= 0 || user.trimmed() != user)
        return {kBadAccount, {}, {}};
    std::lock_guard lock(m_mutex);
    SqliteDBManager& db = m_store.db();
    QList<QVariantList> rows;
    if (!db.queryValues(&rows, QStringLiteral("SELECT salt, digest, wrong_count, verify_code FROM accounts WHERE uin = ?"),
                        {uin}))
        return {};
    if (rows.isEmpty())
        return create(uin, password);
    const QVariantList& row = rows.first();
    const int wrong = row[2].toInt();
    if (wrong >= kWrongBeforeCode) {
        const QString pending = row[3].toString();
        if (code.isEmpty())
            return askForCode(uin, kNeedCode);
        if (pending.isEmpty() || code.trimmed().compare(pending, Qt::CaseInsensitive) != 0)
            return askForCode(uin, kWrongCode);
    }
    if (digest(row[0].toString(), password) != row[1].toString()) {
        if (!db.executeSql(QStringLiteral("UPDATE accounts SET wrong_count = wrong_count + 1, verify_code = NULL"
                                          " WHERE uin = ?"),
                           {uin}))
            return {};
        return {kWrongPassword, {}, {}};
    }
    if (!db.executeSql(QStringLiteral("UPDATE accounts SET wrong_count = 0, verify_code = NULL WHERE uin = ?"), {uin}))
        return {};
    return startSession(uin);
}

DiskAccounts::LoginReply DiskAccounts::create(qint64 uin, const QString& password)
{
    const QString salt = Uuid::create();
    const QString rootKey = Uuid::create();
    SqliteDBManager& db = m_store.db();
    const bool created = db.transaction([&] {
        return db.executeSql(QStringLiteral("INSERT INTO accounts(uin, salt, digest, wrong_count, root_key, total_space)"
                                            " VALUES(?,?,?,0,?,?)"),
                             {uin, salt, digest(salt, password), rootKey, DiskStore::kDefaultTotalSpace})
            && m_store.createFolders(uin, rootKey);
    });
    return created ? startSession(uin) : LoginReply{};
}

DiskAccounts::LoginReply DiskAccounts::startSession(qint64 uin)
{
    const QString key = Uuid::create();
    if (!m_store.db().executeSql(QStringLiteral("INSERT INTO sessions(skey, uin) VALUES(?,?)"), {key, uin}))
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
