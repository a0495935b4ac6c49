#include "DiskFixture.h"

#include "Public/SqliteDBManager.h"
#include "disk/DiskAccounts.h"
#include "disk/PavDiskUserInfoManager.h"
#include "platform/core/UserDefaults.h"

#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QUrl>

#include <atomic>
#include <thread>
#include <tuple>

namespace {

class DiskAccountTest : public DiskFixture {
protected:
    QString signInLog(const QString& uin, const QString& pw, const QString& code = {})
    {
        RecordingDiskResponse r;
        login->setDelegate(&r);
        login->loginWithUserName(uin, pw, code);
        if (!waitForLog(r, 1))
            return "no answer";
        lastImage = r.imageUrl;
        return r.log.first();
    }
    QString lastImage;
};

TEST_F(DiskAccountTest, FirstSignInCreatesTheAccountWithItsFolders)
{
    EXPECT_EQ(signInLog("10001", "pw"), "login YES 0");
    EXPECT_FALSE(login->sessionKey().isEmpty());
    const DiskDirPtr disk = signIn("10001", "pw");
    ASSERT_TRUE(disk);
    EXPECT_EQ(disk->dir_name(), "Ky网盘");
    EXPECT_EQ(manager->current_user()->uin(), 10001);
    // The account's quota (the space told is capped by the disk's free space,
    // which on a shared machine may be less).
    EXPECT_LE(manager->current_user()->total_space(), DiskStore::kDefaultTotalSpace);
    // The password is kept as a PBKDF2 key over a salt of the account's own.
    QList<QVariantList> rows;
    store->db().queryValues(&rows, "SELECT salt, digest, total_space FROM accounts WHERE uin = ?", {10001});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0][2].toLongLong(), DiskStore::kDefaultTotalSpace);
    EXPECT_EQ(rows[0][0].toString().size(), 32);
    EXPECT_TRUE(QRegularExpression("^pbkdf2-sha256\\$100000\\$[0-9a-f]{64}$").match(rows[0][1].toString()).hasMatch())
        << rows[0][1].toString().toStdString();
    ASSERT_EQ(signInLog("10002", "pw"), "login YES 0");
    QList<QVariantList> other;
    store->db().queryValues(&other, "SELECT salt FROM accounts WHERE uin = ?", {10002});
    ASSERT_EQ(other.size(), 1);
    EXPECT_NE(other[0][0], rows[0][0]);
}

TEST_F(DiskAccountTest, AnOlderDigestIsAcceptedOnceAndReplacedAtTheNextSuccess)
{
    ASSERT_EQ(signInLog("40004", "first"), "login YES 0");
    auto digestRow = [&] {
        QList<QVariantList> rows;
        store->db().queryValues(&rows, "SELECT salt, digest FROM accounts WHERE uin = 40004");
        return rows.value(0);
    };
    // A key derived elsewhere with the same parameters is accepted as it is.
    ASSERT_TRUE(store->db().executeSql("UPDATE accounts SET salt = ?, digest = ? WHERE uin = 40004",
                                       {"0123456789abcdef0123456789abcdef",
                                        "pbkdf2-sha256$100000$80ca14adfa10c5a51728d56c222f12b89956fd62633261b184d44b572502ba2e"}));
    EXPECT_EQ(signInLog("40004", "pw"), "login YES 0");
    EXPECT_EQ(digestRow().value(0).toString(), "0123456789abcdef0123456789abcdef");

    // The older form: the SHA-1 of "s1:oldpw".
    ASSERT_TRUE(store->db().executeSql("UPDATE accounts SET salt = 's1', digest = ? WHERE uin = 40004",
                                       {"77eb13136736fa06427359c38ed2b410215a8808"}));
    EXPECT_EQ(signInLog("40004", "pw"), "login NO 1");
    EXPECT_EQ(digestRow().value(1).toString(), "77eb13136736fa06427359c38ed2b410215a8808");
    EXPECT_EQ(signInLog("40004", "oldpw"), "login YES 0");
    const QVariantList upgraded = digestRow();
    EXPECT_NE(upgraded.value(0).toString(), "s1");
    EXPECT_TRUE(upgraded.value(1).toString().startsWith("pbkdf2-sha256$100000$"));
    EXPECT_EQ(signInLog("40004", "oldpw"), "login YES 0");
    EXPECT_EQ(signInLog("40004", "pw"), "login NO 1");
}

TEST_F(DiskAccountTest, SignInKeysLapseAfterThirtyDaysAndArePruned)
{
    ASSERT_TRUE(signIn("50005", "pw"));
    const QString first = login->sessionKey();
    DiskStoreAccount account;
    clock.advanceSeconds(30LL * 24 * 3600 - 1);
    EXPECT_EQ(store->queryAccount(first, &account), 0);
    clock.advanceSeconds(1);
    EXPECT_EQ(store->queryAccount(first, &account), -401);
    RecordingDiskResponse r;
    manager->requestQueryUser(&r);
    ASSERT_TRUE(waitForLog(r, 2));
    EXPECT_EQ(r.log, (QStringList{"require login", "user fail"}));

    // The next sign-in removes the lapsed key and starts a good one.
    ASSERT_EQ(signInLog("50005", "pw"), "login YES 0");
    EXPECT_EQ(store->queryAccount(login->sessionKey(), &account), 0);
    QList<QVariantList> keys;
    store->db().queryValues(&keys, "SELECT skey FROM sessions");
    ASSERT_EQ(keys.size(), 1);
    EXPECT_EQ(keys[0][0].toString(), login->sessionKey());
}

TEST_F(DiskAccountTest, WrongPasswordsLeadToAVerificationCode)
{
    ASSERT_EQ(signInLog("20002", "right"), "login YES 0");
    EXPECT_EQ(signInLog("20002", "wrong"), "login NO 1");
    EXPECT_EQ(signInLog("20002", "wrong"), "login NO 1");
    EXPECT_EQ(signInLog("20002", "wrong"), "login NO 1");
    // The fourth attempt wants a code, even with the right password.
    EXPECT_EQ(signInLog("20002", "right"), "verify first");
    const QString image = QUrl(lastImage).toLocalFile();
    ASSERT_TRUE(lastImage.startsWith("file://"));
    EXPECT_FALSE(QImage(image, "PNG").isNull());
    const QString code = store->accounts().pendingVerifyCode(20002);
    EXPECT_EQ(code.size(), 4);

    EXPECT_EQ(signInLog("20002", "right", "ZZZZ" == code ? "YYYY" : "ZZZZ"), "verify fault");
    EXPECT_FALSE(QFile::exists(image));   // replaced by the new image
    const QString next = store->accounts().pendingVerifyCode(20002);
    EXPECT_EQ(signInLog("20002", "right", next.toLower()), "login YES 0");

    // The success reset the count: one wrong password is a plain 203 again.
    EXPECT_EQ(signInLog("20002", "wrong"), "login NO 1");
    EXPECT_EQ(signInLog("20002", "right"), "login YES 0");
}

TEST_F(DiskAccountTest, BadAccountNumbersAndAMissingStore)
{
    EXPECT_EQ(signInLog("", "pw"), "login NO 4");
    EXPECT_EQ(signInLog("12ab", "pw"), "login NO 4");
    DiskLoginModel unreachable([] { return std::shared_ptr<DiskStore>(); });
    RecordingDiskResponse r;
    unreachable.setDelegate(&r);
    unreachable.loginWithUserName("1", "pw");
    ASSERT_TRUE(waitForLog(r, 1));
    EXPECT_EQ(r.log.first(), "login NO 3");
}

TEST_F(DiskAccountTest, AnswerGoesToTheDelegateOfItsSignIn)
{
    RecordingDiskResponse first;
    RecordingDiskResponse second;
    login->setDelegate(&first);
    login->loginWithUserName("30003", "pw");
    login->setDelegate(&second);
    ASSERT_TRUE(waitForLog(first, 1));
    EXPECT_TRUE(second.log.isEmpty());
    // A delegate gone before its answer hears nothing (and nothing breaks).
    auto gone = std::make_unique<RecordingDiskResponse>();
    login->setDelegate(gone.get());
    login->loginWithUserName("30003", "pw");
    gone.reset();
    login->setDelegate(&second);
    login->loginWithUserName("30003", "pw");
    ASSERT_TRUE(waitForLog(second, 1));
    EXPECT_EQ(second.log, QStringList{"login YES 0"});
}

// Two runs of the program (two connections to one index) signing in to an
// account nobody has used yet, at the same moment: both get in, to one account.
TEST_F(DiskAccountTest, TwoFirstSignInsAtOnceBothSucceedIntoOneAccount)
{
    const std::shared_ptr<DiskStore> other = DiskStore::open(storeDir.path(), &clock);
    ASSERT_TRUE(other);
    for (const QString uin : {"50005", "50006", "50007"}) {
        DiskAccounts::LoginReply first;
        DiskAccounts::LoginReply second;
        std::atomic<int> ready{0};
        auto signInAt = [&ready](DiskStore& s, const QString& user, DiskAccounts::LoginReply* out) {
            ++ready;
            while (ready < 2) {
            }
            *out = s.accounts().login(user, "pw", QString());
        };
        std::thread a(signInAt, std::ref(*store), uin, &first);
        std::thread b(signInAt, std::ref(*other), uin, &second);
        a.join();
        b.join();
        EXPECT_EQ(first.result, 0) << uin.toStdString();
        EXPECT_EQ(second.result, 0) << uin.toStdString();
        DiskStoreAccount one;
        DiskStoreAccount two;
        ASSERT_EQ(store->queryAccount(first.sessionKey, &one), 0);
        ASSERT_EQ(other->queryAccount(second.sessionKey, &two), 0);
        EXPECT_EQ(one.rootKey, two.rootKey);
        // The one password both gave works again.
        EXPECT_EQ(store->accounts().login(uin, "pw", QString()).result, 0);
    }
}

// The iteration count comes from the stored row: past the ceiling the row is
// taken for damaged and refused at once, with no wrong password counted.
TEST_F(DiskAccountTest, AnIterationCountPastTheCeilingIsRefusedAsADamagedRow)
{
    ASSERT_EQ(signInLog("70007", "pw"), "login YES 0");
    const QString key = "80ca14adfa10c5a51728d56c222f12b89956fd62633261b184d44b572502ba2e";
    auto setCount = [&](const QString& count) {
        return store->db().executeSql("UPDATE accounts SET digest = ? WHERE uin = 70007",
                                      {"pbkdf2-sha256$" + count + "$" + key});
    };
    ASSERT_TRUE(setCount("10000001"));
    ASSERT_EQ(signInLog("70007", "pw"), "login NO 4");
    for (const char* count : {"4294967295", "18446744073709551616", "0"}) {
        ASSERT_TRUE(setCount(count));
        EXPECT_EQ(store->accounts().login("70007", "pw", {}).result, 501) << count;
        EXPECT_EQ(store->accounts().login("70007", "pw", {}, DiskAccounts::Purpose::Check).result, 501) << count;
    }
    QList<QVariantList> rows;
    store->db().queryValues(&rows, "SELECT wrong_count FROM accounts WHERE uin = 70007");
    EXPECT_EQ(rows.value(0).value(0).toInt(), 0);
}

// Checking a password (binding the private album, unbinding, recovering its
// password) is not a sign-in: it answers as one but leaves no sign-in key.
TEST_F(DiskAccountTest, ACredentialCheckStartsNoSession)
{
    ASSERT_EQ(signInLog("60006", "pw"), "login YES 0");
    auto sessions = [this] {
        QList<QVariantList> rows;
        store->db().queryValues(&rows, "SELECT COUNT(*) FROM sessions");
        return rows.value(0).value(0).toInt();
    };
    ASSERT_EQ(sessions(), 1);
    DiskLoginModel check([this] { return store; }, DiskLoginModel::Session::Discard);
    for (const auto& [uin, pw, answer] : {std::tuple{"60006", "pw", "login YES 0"}, {"60006", "bad", "login NO 1"},
                                          {"60007", "new", "login YES 0"}}) {
        RecordingDiskResponse r;
        check.setDelegate(&r);
        check.loginWithUserName(uin, pw);
        ASSERT_TRUE(waitForLog(r, 1));
        EXPECT_EQ(r.log.first(), answer) << uin << " " << pw;
    }
    EXPECT_TRUE(check.sessionKey().isEmpty());
    EXPECT_EQ(sessions(), 1);
}

TEST(PavDiskUserInfoManagerTest, SavedAccountRoundTripKeepsThePasswordEnciphered)
{
    TempHome home;
    UserDefaults defaults;
    PavDiskUserInfoManager saved(home.documents(), [&]() -> UserDefaults& { return defaults; });
    saved.setAutoLogin("YES");
    EXPECT_FALSE(saved.saveLoginInfoToDisk());   // no account yet: nothing written
    EXPECT_FALSE(QFile::exists(saved.filePath()));
    saved.setUin("123456");
    saved.setPassword("pässwörd 16 chars");
    saved.setSavePassword("YES");
    ASSERT_TRUE(saved.saveLoginInfoToDisk());
    QFile file(saved.filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("KyDiskUser 1\n"));
    EXPECT_FALSE(bytes.contains("16 chars"));

    PavDiskUserInfoManager again(home.documents());
    EXPECT_EQ(again.uin(), "123456");
    EXPECT_EQ(again.password(), "pässwörd 16 chars");
    EXPECT_EQ(again.savePassword(), "YES");
    EXPECT_EQ(again.autoLogin(), "YES");

    again.setPassword("");
    ASSERT_TRUE(again.saveLoginInfoToDisk());
    PavDiskUserInfoManager third(home.documents());
    EXPECT_TRUE(third.password().isEmpty());
    EXPECT_FALSE(third.password().isNull());

    saved.setKyDiskUsedLabel("123456");
    EXPECT_TRUE(defaults.boolForKey("123456"));
}

}
