#include "Public/KyTextInput.h"
#include "Public/KyUICheckBoxButton.h"
#include "Public/PavProgressView.h"
#include "Public/PaviPadNavigationController.h"
#include "albums/cloud/CloudLoginInputRules.h"
#include "albums/cloud/PavCloudAlbumLoginViewController_iPad.h"
#include "disk/DiskAccounts.h"
#include "disk/DiskLoginModel.h"
#include "albums/cloud/DiskErrorAlerts.h"
#include "disk/DiskManager.h"
#include "disk/DiskStore.h"
#include "disk/PavCloudAlbumManager.h"
#include "disk/PavDiskUserInfoManager.h"
#include "albums/cloud/PavVerifyPasswordController_iPad.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "support/EventLoop.h"
#include "support/Screenshot.h"
#include "support/ShowCanvas.h"
#include "support/TempDiskStore.h"
#include "support/TempHome.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Sheet = PavCloudAlbumLoginViewController_iPad;

struct LoginDelegate : QObject, PavCloudAlbumLoginDelegate {
    void cloudAlbumLoginSuccess() override { log.append("success"); }
    void cloudAlbumLoginCancel() override { log.append("cancel"); }
    QStringList log;
};

class CloudLoginSheetTest : public ::testing::Test, public TempDiskStore {
protected:
    CloudLoginSheetTest()
    {
        ui::Animations::setEnabled(false);
        saved = std::make_unique<PavDiskUserInfoManager>(home.documents(), [this]() -> UserDefaults& { return defaults; });
        album = std::make_unique<PavCloudAlbumManager>([this]() -> UserDefaults& { return defaults; }, &clock);
        EXPECT_TRUE(showOnCanvas(canvas, presenter = new ui::Screen));
    }
    ~CloudLoginSheetTest() override
    {
        closeAlerts();
        PavProgressView::dismiss();
        canvas.reset();
        spinEvents(10);
        ui::Animations::setEnabled(true);
    }

    // settle = false checks the sheet before any event runs (an automatic
    // sign-in may otherwise finish and close it first).
    Sheet* present(bool settle = true)
    {
        sheet = new Sheet(Sheet::Services{login.get(), manager.get(), saved.get(), album.get(),
                                          [this](int id) { usage.push_back(id); }});
        sheet->setDelegate(&delegate);
        presenter->presentSheet(new PaviPadNavigationController(sheet), ui::kShortFormSheetSize);
        if (settle)
            spinEvents(10);
        return sheet;
    }
    QLineEdit* nameField() const { return sheet->kyNameField()->boldTextField(); }
    QLineEdit* passwordField() const { return sheet->kyPasswordField()->boldTextField(); }
    // Replaces what the fields hold, typing like a user.
    void typeIn(const QString& account, const QString& password)
    {
        nameField()->clear();
        passwordField()->clear();
        QTest::keyClicks(nameField(), account);
        QTest::keyClicks(passwordField(), password);
    }
    bool finished() { return waitUntil([this] { return !delegate.log.isEmpty(); }); }
    // Waits for an alert and returns "title|message".
    QString alertText()
    {
        waitUntil([] { return !ui::ChoiceDialog::showing().isEmpty(); });
        const QList<ui::ChoiceDialog*> shown = ui::ChoiceDialog::showing();
        return shown.isEmpty() ? QString() : shown.last()->title() + "|" + shown.last()->message();
    }
    void closeAlerts()
    {
        for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing())
            delete d;
    }
    PavVerifyPasswordController_iPad* verifyScreen() const
    {
        auto* stack = sheet ? sheet->navigationStack() : nullptr;
        return stack ? qobject_cast<PavVerifyPasswordController_iPad*>(stack->topScreen()) : nullptr;
    }
    QString signInOutcome(const QString& account, const QString& password)
    {
        present();
        typeIn(account, password);
        sheet->kyLoginButtonClicked();
        if (!waitUntil([this] { return !sheet || sheet->step() == Sheet::Step::Idle || !delegate.log.isEmpty(); }))
            return "stuck";
        return alertText();
    }
    // Creates the account, then spends its three wrong passwords: the next
    // sign-in meets the code screen.
    void wrongThrice(const QString& account)
    {
        ASSERT_EQ(signInOutcome(account, "right").section('|', 0, 0), "创建云端相册成功");
        closeAlerts();
        delegate.log.clear();
        album->setIsLogined(false);
        saved->setSavePassword("YES");
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(signInOutcome(account, "wrong"), "登录密码错误|请检查你输入的密码");
            EXPECT_TRUE(passwordField()->text().isEmpty());
            EXPECT_EQ(saved->password(), "");
            closeAlerts();
            sheet->closeButtonClicked();
            spinEvents(10);
        }
        delegate.log.clear();
    }

    TempHome home;
    UserDefaults defaults;
    std::unique_ptr<PavDiskUserInfoManager> saved;
    std::unique_ptr<PavCloudAlbumManager> album;
    std::unique_ptr<ui::Canvas> canvas;
    ui::Screen* presenter = nullptr;
    QPointer<Sheet> sheet;
    LoginDelegate delegate;
    std::vector<int> usage;
};

TEST_F(CloudLoginSheetTest, NewAccountGetsTheAlbumFolderAndTheCreationAlertOnce)
{
    present();
    typeIn("556677", "secret");
    saveScreenshot(canvas.get(), "cloud_login_sheet.png");
    QTest::mouseClick(sheet->kyLoginButton(), Qt::LeftButton);
    ASSERT_TRUE(finished());
    EXPECT_EQ(delegate.log, QStringList{"success"});
    EXPECT_EQ(alertText().section('|', 0, 0), "创建云端相册成功");
    const DiskDirPtr dir = album->cloudAlbumDir();
    ASSERT_TRUE(dir);
    EXPECT_EQ(dir->dir_name(), "云端相册");
    EXPECT_EQ(dir->dir_father()->dir_name(), "Ky网盘");
    EXPECT_EQ(dir->rootDir()->dir_key(), manager->current_user()->root_dir()->dir_key());
    EXPECT_TRUE(album->isLogined());
    EXPECT_EQ(usage, (std::vector<int>{27126, 27127}));
    EXPECT_TRUE(defaults.boolForKey("556677"));
    EXPECT_EQ(PavDiskUserInfoManager(home.documents()).uin(), "556677");
    EXPECT_TRUE(waitUntil([this] { return !sheet; }));   // dismissed and gone
    closeAlerts();

    // A second sign-in finds the folder: no alert, the same folder.
    const QString key = dir->dir_key();
    delegate.log.clear();
    album->setCloudAlbumDir(nullptr);
    present();
    EXPECT_EQ(nameField()->text().toStdString(), "556677");   // the saved account
    EXPECT_TRUE(passwordField()->text().isEmpty());           // passwords are not kept
    QTest::keyClicks(passwordField(), "secret");
    sheet->kyLoginButtonClicked();
    ASSERT_TRUE(finished());
    spinEvents(20);
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty()) << alertText().toStdString();
    EXPECT_EQ(album->cloudAlbumDir()->dir_key().toStdString(), key.toStdString());
}

TEST_F(CloudLoginSheetTest, WrongPasswordsThenTheVerificationScreen)
{
    wrongThrice("8080");
    present();
    typeIn("8080", "right");
    sheet->kyLoginButtonClicked();
    ASSERT_TRUE(waitUntil([this] { return verifyScreen() != nullptr; }));
    PavVerifyPasswordController_iPad* verify = verifyScreen();
    // On screen, with the store's verification picture in it.
    ASSERT_TRUE(waitUntil([&] { return verify->isVisible() && !verify->imageView()->image().isNull(); }));
    EXPECT_EQ(verify->username(), "8080");
    EXPECT_EQ(verify->password(), "right");
    EXPECT_TRUE(verify->faultLabel()->isHidden());
    saveScreenshot(canvas.get(), "cloud_login_verify.png");

    // A wrong code: a new image and the fault text, still on this screen.
    const QString firstImage = verify->verifyImageURL();
    QTest::keyClicks(verify->codeField()->boldTextField(), "0000");
    verify->submitButtonClicked();
    ASSERT_TRUE(waitUntil([&] { return verify->faultLabel()->isVisibleTo(verify); }));
    EXPECT_NE(verify->verifyImageURL(), firstImage);
    EXPECT_EQ(verifyScreen(), verify);

    QTest::keyClicks(verify->codeField()->boldTextField(), store->accounts().pendingVerifyCode(8080));
    verify->submitButtonClicked();
    ASSERT_TRUE(finished());
    EXPECT_EQ(delegate.log, QStringList{"success"});
    EXPECT_TRUE(album->isLogined());
}

TEST_F(CloudLoginSheetTest, AfterAFailedSignInIsAnsweredTypingGoesOnInThePasswordField)
{
    ASSERT_EQ(signInOutcome("7070", "right").section('|', 0, 0), "创建云端相册成功");
    closeAlerts();
    delegate.log.clear();
    album->setIsLogined(false);
    present();
    canvas->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(canvas.get()));
    typeIn("7070", QString());
    // Keys as the user types them: to whatever has the focus.
    auto typeOn = [](const QString& text) { QTest::keyClicks(nullptr, text); };
    auto returnKey = [] { QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Return); };
    auto answer = [this](const QString& expected) {
        EXPECT_EQ(alertText(), expected);
        ASSERT_FALSE(ui::ChoiceDialog::showing().isEmpty());
        ui::ChoiceDialog::showing().last()->clickButtonAtIndex(0);
        spinEvents(10);
    };

    passwordField()->setFocus();
    returnKey();  // no password yet
    answer("验证帐号提醒|输入密码有误,请重新输入");
    typeOn("wrong");
    EXPECT_EQ(passwordField()->text(), "wrong");
    returnKey();
    ASSERT_TRUE(waitUntil([this] { return !ui::ChoiceDialog::showing().isEmpty(); }));
    answer("登录密码错误|请检查你输入的密码");
    typeOn("right");
    EXPECT_EQ(passwordField()->text(), "right");
    returnKey();
    ASSERT_TRUE(finished());
    EXPECT_EQ(delegate.log, QStringList{"success"});
}

TEST_F(CloudLoginSheetTest, AutomaticSignInStartsByItself)
{
    saved->setUin("4242");
    saved->setPassword("pw");
    saved->setSavePassword("YES");
    saved->setAutoLogin("YES");
    present(false);
    ASSERT_TRUE(sheet);
    EXPECT_TRUE(sheet->kyAutoLoginButton()->on());
    EXPECT_EQ(nameField()->text(), "4242");
    ASSERT_TRUE(finished());
    EXPECT_EQ(delegate.log, QStringList{"success"});

    // Turning the box off saves both choices as "NO" (no saved password this
    // time, so the sheet does not sign in by itself).
    saved->setPassword("");
    present();
    ASSERT_TRUE(sheet->kyAutoLoginButton()->on());
    sheet->kyAutoLoginButton()->click();
    EXPECT_FALSE(sheet->kyAutoLoginButton()->on());
    const PavDiskUserInfoManager reread(home.documents());
    EXPECT_EQ(reread.autoLogin(), "NO");
    EXPECT_EQ(reread.savePassword(), "NO");
}

TEST_F(CloudLoginSheetTest, TypingRulesAndThePasswordCheck)
{
    present();
    QTest::keyClicks(passwordField(), "abc");
    QTest::keyClicks(nameField(), "1");
    EXPECT_TRUE(passwordField()->text().isEmpty());   // the account changed

    QTest::keyClicks(nameField(), "234567890123456789");
    EXPECT_EQ(nameField()->text().size(), 16);
    for (const char* key : {"a", " ", "b", "\u3000", "c"}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromUtf8(key));
        QApplication::sendEvent(passwordField(), &press);
    }
    EXPECT_EQ(passwordField()->text(), "abc");
    QTest::keyClicks(passwordField(), "12345678901234567890");
    EXPECT_EQ(passwordField()->text().size(), 16);

    passwordField()->setText("12345678901234567");   // pasted past the limit
    sheet->kyLoginButtonClicked();
    EXPECT_EQ(alertText(), "验证帐号提醒|输入密码有误,请重新输入");
    EXPECT_EQ(sheet->step(), Sheet::Step::Idle);
    EXPECT_EQ(usage, std::vector<int>{27126});

    EXPECT_EQ(CloudLoginInputRules::insertedText("abcd", "abXcd"), "X");
    EXPECT_TRUE(CloudLoginInputRules::passwordAccepts("1234567890123456", "123456789012345"));
}

// The account number is typed at 20 pixels; the password field and other
// framed inputs keep their own size.
TEST_F(CloudLoginSheetTest, TheAccountFieldTypesAtTwentyPixels)
{
    present();
    KyTextInput other(QRect(0, 0, 300, 52), 100, 200);
    for (QWidget* w : {static_cast<QWidget*>(nameField()), static_cast<QWidget*>(passwordField()),
                       static_cast<QWidget*>(other.boldTextField())})
        w->ensurePolished();
    EXPECT_EQ(nameField()->font().pixelSize(), 20);
    EXPECT_EQ(passwordField()->font().pixelSize(), 18);
    EXPECT_EQ(other.boldTextField()->font().pixelSize(), 18);
}

TEST_F(CloudLoginSheetTest, ClosingDropsTheAnswersStillOnTheirWay)
{
    present();
    typeIn("9090", "pw");
    sheet->kyLoginButtonClicked();
    sheet->closeButtonClicked();
    EXPECT_EQ(delegate.log, QStringList{"cancel"});
    ASSERT_TRUE(waitUntil([this] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return !sheet;
    }));
    spinEvents(100);
    EXPECT_FALSE(album->isLogined());
    EXPECT_EQ(album->cloudAlbumDir(), nullptr);
    EXPECT_EQ(PavProgressView::showing(), nullptr);
}

TEST_F(CloudLoginSheetTest, AFailedAccountQueryEndsTheAttemptWithTheFacadeAlert)
{
    // A facade whose commands carry a sign-in key the store does not know.
    manager = std::make_unique<DiskManager>([this] { return store; }, [] { return QString("lapsed"); });
    DiskErrorAlerts::installOn(*manager);   // as the application does at launch
    present();
    typeIn("7070", "pw");
    sheet->kyLoginButtonClicked();
    ASSERT_TRUE(waitUntil([this] { return sheet->step() == Sheet::Step::Idle; }));
    EXPECT_EQ(alertText().toStdString(), "|登录已失效，请重新登录");
    EXPECT_TRUE(waitUntil([] { return PavProgressView::showing() == nullptr; }));
    EXPECT_TRUE(delegate.log.isEmpty());
    EXPECT_FALSE(album->isLogined());
}

TEST_F(CloudLoginSheetTest, GivingUpOnTheCodeReturnsToTheForm)
{
    wrongThrice("6060");
    saved->setUin("6060");
    saved->setPassword("right");
    saved->setSavePassword("YES");
    saved->setAutoLogin("YES");
    present();   // signs in by itself and meets the code screen
    ASSERT_TRUE(waitUntil([this] { return verifyScreen() != nullptr; }));
    verifyScreen()->backButtonClicked();
    EXPECT_EQ(sheet->step(), Sheet::Step::Idle);
    EXPECT_EQ(sheet->navigationStack()->topScreen(), sheet.data());
    // Coming back from the code screen starts no automatic sign-in.
    spinEvents(30);
    EXPECT_EQ(sheet->step(), Sheet::Step::Idle);
    EXPECT_TRUE(delegate.log.isEmpty());
}

}
