#include "DiskFixture.h"

#include "Public/SqliteDBManager.h"
#include "disk/DiskAccounts.h"
#include "disk/PavDiskUserInfoManager.h"
#include "platform/core/UserDefaults.h"

#include <QFile>
#include <QImage>
#include <QUrl>

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
    EXPECT_EQ(manager->current_user()->total_space(), DiskStore::kDefaultTotalSpace);
    // The password is not kept as given.
    QList<QVariantList> rows;
    store->db().queryValues(&rows, "SELECT salt, digest FROM accounts WHERE uin = ?", {10001});
    ASSERT_EQ(rows.size(), 1);
    EXPECT_NE(rows[0][1].toString(), "pw");
    EXPECT_EQ(rows[0][1].toString().size(), 40);
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
