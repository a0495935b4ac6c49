#include "PrivateAlbumFixture.h"

#include "Public/KyTextInput.h"
#include "Public/PavProgressView.h"
#include "Public/PaviPadNavigationController.h"
#include "albums/binding/PavSecretAlbumPasswordProtectViewController_iPad.h"
#include "albums/binding/RecoveryBindingForm.h"
#include "disk/DiskLoginModel.h"
#include "disk/DiskManager.h"
#include "albums/cloud/PavVerifyPasswordController_iPad.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/NavigationStack.h"
#include "support/EventLoop.h"
#include "support/RecordingDiskResponse.h"
#include "support/Screenshot.h"
#include "support/SharedDiskStore.h"
#include "support/ShownImage.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

using Form = RecoveryBindingForm;
using Binding = PavSecretAlbumPasswordProtectViewController_iPad;

TEST(RecoveryBindingForm, InputsAreCheckedInOrderBeforeAnySignIn)
{
    const char* badAccount = "输入Ky号有误,请重新输入";
    struct Case {
        int network;
        const char* account;
        QString password;
        const char* refusal;   // null: accepted
    };
    const Case cases[] = {
        {0, "123456", "pw", "网络连接错误，请检查网络"},
        {3, "9999", "pw", badAccount},
        {3, "123456789012", "pw", badAccount},
        {3, "09999", "pw", badAccount},   // five characters, below 10000
        {3, "+12345", "pw", badAccount},
        {3, "12a45", "pw", badAccount},
        {3, "10000", "pw", nullptr},
        {1, "12345678901", "pw", nullptr},
        {3, "10000", "", "密码不能为空"},
        {3, "10000", QString(16, 'x'), nullptr},
        {3, "10000", QString(17, 'x'), "密码错误！再试一次？"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.account);
        const QString refusal = Form::checkInputs(c.network, c.account, c.password);
        if (c.refusal)
            EXPECT_EQ(refusal, QString::fromUtf8(c.refusal));
        else
            EXPECT_TRUE(refusal.isNull());
    }
}

TEST(RecoveryBindingForm, OnlyASuccessfulBindOrUnbindStoresAnything)
{
    EXPECT_EQ(Form::outcome(1, true, 0, "10001").store, Form::Outcome::Store::Bind);
    EXPECT_EQ(Form::outcome(2, true, 0, "10001").store, Form::Outcome::Store::Unbind);
    EXPECT_EQ(Form::outcome(3, true, 0, "10001").store, Form::Outcome::Store::Nothing);
    for (int tag : {1, 2, 3, 4}) {
        const Form::Outcome o = Form::outcome(0, false, tag, "10001");
        EXPECT_EQ(o.store, Form::Outcome::Store::Nothing);
        EXPECT_FALSE(o.succeeded);
    }
}

namespace {

class RecordingDelegate : public QObject, public PavSecretAlbumPasswordProtectViewControllerDelegate_iPad {
public:
    QStringList bound, unbound;
    int verified = 0;
    void passwordProtectViewControllerDidBindKy(Binding*, const QString& account) override { bound << account; }
    void passwordProtectViewControllerDidUnBindKy(Binding*, const QString& account) override { unbound << account; }
    void passwordProtectViewControllerVerfyBindingKySuccess(Binding*) override { ++verified; }
};

class RecoveryBindingScreenTest : public PrivateAlbumFixture {
protected:
    RecoveryBindingScreenTest() { showCanvas(); }
    ~RecoveryBindingScreenTest() override { closeCanvas(); }

    Binding* present(int type)
    {
        Binding::Collaborators c;
        c.passwords = passwords.get();
        c.usage = [this](int id) { usage.push_back(id); };
        c.networkKind = [this] { return network; };
        c.signIn = [this](ZEBConnectionAuthDelegate*, const QString& account, const QString& password) {
            signIns << account + "/" + password;
        };
        c.makeVerifyScreen = [this](Binding*, const QString&, const QString&, const QString& url) -> ui::Screen* {
            verifyUrls << url;
            return new ui::Screen;
        };
        c.openUrl = [this](const QString& url) { opened << url; };
        screen = new Binding(type, c);
        sheet = new PaviPadNavigationController(screen);
        presenter->presentSheet(sheet);
        spinEvents(10);
        return screen;
    }
    void type(KyTextInput* input, const QString& text)
    {
        input->boldTextField()->setFocus();
        QTest::keyClicks(input->boldTextField(), text);
    }
    // Fills both inputs and taps the button; waits for the sign-in to start.
    void signIn(const QString& account, const QString& password)
    {
        if (!account.isEmpty())
            type(screen->kyAccountTextInput(), account);
        type(screen->kyPasswordTextInput(), password);
        const int before = signIns.size();
        QTest::mouseClick(screen->confirmButton(), Qt::LeftButton);
        ASSERT_TRUE(waitUntil([&] { return signIns.size() == before + 1; }));
    }
    QString shownMessage() const
    {
        ui::ChoiceDialog* d = ui::ChoiceDialog::topShowing();
        return d ? d->message() : QString();
    }
    QString password() const { return screen->kyPasswordTextInput()->boldTextField()->text(); }
    bool sheetOpen() const { return presenter->presentedScreen() != nullptr; }

    int network = 3;
    std::vector<int> usage;
    QStringList signIns, verifyUrls, opened;
    QPointer<Binding> screen;
    QPointer<ui::NavigationStack> sheet;
    RecordingDelegate delegate;
};

}

TEST_F(RecoveryBindingScreenTest, BindingSignsInOnceStoresTheAccountAndTellsTheDelegate)
{
    present(Form::Bind)->setDelegate(&delegate);
    EXPECT_EQ(screen->title(), QString::fromUtf8("找回密码设置"));
    EXPECT_FALSE(passwords->hasBinded());
    signIn("10001", "secret");
    EXPECT_EQ(signIns, QStringList({"10001/secret"}));
    EXPECT_TRUE(screen->isSigningIn());
    QTest::mouseClick(screen->confirmButton(), Qt::LeftButton);  // a second tap meanwhile
    spinEvents(Binding::kSignInDelayMs + 50);
    EXPECT_EQ(signIns.size(), 1);

    screen->loginResult(true, 0);
    EXPECT_EQ(passwords->binding().getBinding(), "10001");
    EXPECT_EQ(shownMessage(), QString::fromUtf8("若忘记密码，可通过验证关联的Ky10001，进行密码重置"));
    EXPECT_EQ(delegate.bound, QStringList({"10001"}));
    EXPECT_NE(std::find(usage.begin(), usage.end(), 27226), usage.end());
    EXPECT_NE(std::find(usage.begin(), usage.end(), 27227), usage.end());

    // A late second answer is not a sign-in of this screen.
    delegate.bound.clear();
    screen->loginResult(true, 0);
    EXPECT_TRUE(delegate.bound.isEmpty());
}

TEST_F(RecoveryBindingScreenTest, RefusedInputsNeverReachTheSignIn)
{
    present(Form::Bind);
    type(screen->kyAccountTextInput(), "9999");
    type(screen->kyPasswordTextInput(), "pw");
    screen->confirmButtonClicked();
    EXPECT_EQ(shownMessage(), QString::fromUtf8("输入Ky号有误,请重新输入"));
    ui::ChoiceDialog::topShowing()->clickButtonAtIndex(0);
    network = 0;
    screen->confirmButtonClicked();
    EXPECT_EQ(shownMessage(), QString::fromUtf8("网络连接错误，请检查网络"));
    spinEvents(Binding::kSignInDelayMs + 50);
    EXPECT_TRUE(signIns.isEmpty());
}

TEST_F(RecoveryBindingScreenTest, TypingRules)
{
    present(Form::Bind);
    type(screen->kyAccountTextInput(), "1234");
    type(screen->kyPasswordTextInput(), "a b");
    screen->kyPasswordTextInput()->boldTextField()->insert(QString::fromUtf8("\u3000"));
    type(screen->kyPasswordTextInput(), "c");
    EXPECT_EQ(password(), "abc");  // spaces are refused
    type(screen->kyAccountTextInput(), "5");
    EXPECT_EQ(password(), "");  // a new account empties the password
    type(screen->kyAccountTextInput(), "6789012345678");
    EXPECT_EQ(screen->kyAccountTextInput()->boldTextField()->text().size(), 16);
    // A tap beside the inputs ends the typing.
    ASSERT_TRUE(screen->kyAccountTextInput()->boldTextField()->hasFocus());
    QTest::mouseClick(screen, Qt::LeftButton, {}, QPoint(20, 470));
    EXPECT_FALSE(screen->kyAccountTextInput()->boldTextField()->hasFocus());
}

TEST_F(RecoveryBindingScreenTest, AfterTheFirstPasswordABindOrASkipClosesTheSheetAndHandsOnOnce)
{
    for (bool bind : {false, true}) {
        SCOPED_TRACE(bind);
        int handedOn = 0;
        present(Form::OfferBinding)->setPopInvocation([&] { ++handedOn; });
        ASSERT_TRUE(screen->rightBarButtonItem().has_value());  // "跳过"
        if (bind) {
            signIn("10002", "pw");
            screen->loginResult(true, 0);
            EXPECT_EQ(ui::ChoiceDialog::topShowing()->title(), QString::fromUtf8("设置成功"));
        } else {
            screen->rightBarButtonItem()->action();
        }
        ASSERT_TRUE(waitUntil([&] { return handedOn == 1; }));
        EXPECT_FALSE(sheetOpen());
        spinEvents(20);
        EXPECT_EQ(handedOn, 1);
        EXPECT_EQ(passwords->binding().getBinding(), bind ? "10002" : "");
        EXPECT_EQ(signIns.size(), bind ? 1 : 0);   // a skip signs in nowhere
        for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing())
            d->dismissWithClickedButtonIndex(d->cancelButtonIndex(), false);
    }
}

TEST_F(RecoveryBindingScreenTest, UnbindingShowsTheBoundAccountAndRemovesIt)
{
    passwords->binding().setBinding("10003");
    present(Form::ShowBinding)->setDelegate(&delegate);
    EXPECT_EQ(screen->firstTipLabel()->text(), QString::fromUtf8("已关联Ky号码：10003"));
    EXPECT_FALSE(screen->kyAccountTextInput()->boldTextField()->isEnabled());
    EXPECT_EQ(screen->kyAccountTextInput()->boldTextField()->text(), "10003");
    signIn(QString(), "pw");
    EXPECT_EQ(signIns, QStringList({"10003/pw"}));
    screen->loginResult(true, 0);
    EXPECT_FALSE(passwords->hasBinded());
    EXPECT_EQ(delegate.unbound, QStringList({"10003"}));
}

TEST_F(RecoveryBindingScreenTest, RecoveryKeepsTheBindingAndLetsTheLockGoOn)
{
    passwords->binding().setBinding("10004");
    present(Form::Recover)->setDelegate(&delegate);
    usage.clear();
    signIn(QString(), "pw");
    screen->loginResult(true, 0);
    EXPECT_EQ(delegate.verified, 1);
    EXPECT_EQ(passwords->binding().getBinding(), "10004");
    EXPECT_TRUE(usage.empty());
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty());
}

TEST_F(RecoveryBindingScreenTest, AWrongPasswordOffersThePageOrAnotherTry)
{
    present(Form::Bind);
    signIn("10005", "bad");
    screen->loginResult(false, 1);
    EXPECT_FALSE(passwords->hasBinded());
    ui::ChoiceDialog* wrong = ui::ChoiceDialog::showingWithTag(101);
    ASSERT_NE(wrong, nullptr);
    wrong->clickButtonAtIndex(0);  // "找回密码"
    EXPECT_EQ(opened, QStringList({Form::lostPasswordUrl()}));

    signIn(QString(), "x");
    screen->loginResult(false, 1);
    EXPECT_EQ(password(), "badx");
    ui::ChoiceDialog::showingWithTag(101)->clickButtonAtIndex(1);  // "再试一次"
    EXPECT_EQ(password(), "");
    EXPECT_TRUE(sheetOpen());
}

TEST_F(RecoveryBindingScreenTest, TypingBehindTheWrongPasswordAlertChangesNothing)
{
    present(Form::Bind);
    signIn("10005", "bad");
    screen->loginResult(false, 1);
    ASSERT_NE(ui::ChoiceDialog::showingWithTag(101), nullptr);
    // Even with the focus left in the password field, its keys go nowhere.
    QLineEdit* field = screen->kyPasswordTextInput()->boldTextField();
    field->setFocus();
    QTest::keyClicks(field, "zz");
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(screen->window()->windowHandle(), Qt::Key_Return);
    spinEvents(50);
    EXPECT_EQ(password(), "bad");
    EXPECT_EQ(signIns.size(), 1);
    EXPECT_EQ(ui::ChoiceDialog::showing().size(), 1);
    ui::ChoiceDialog::showingWithTag(101)->clickButtonAtIndex(1);  // "再试一次"
    type(screen->kyPasswordTextInput(), "ok");
    EXPECT_EQ(password(), "ok");
}

TEST_F(RecoveryBindingScreenTest, AfterARefusalOrAFailedSignInTheFieldToCorrectHasTheKeyboard)
{
    present(Form::Bind);
    canvas->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(canvas.get()));
    QLineEdit* account = screen->kyAccountTextInput()->boldTextField();
    // Keys as the user types them: to whatever has the focus.
    auto typeOn = [](const QString& text) { QTest::keyClicks(nullptr, text); };
    auto submit = [&] {
        screen->kyPasswordTextInput()->boldTextField()->setFocus();
        QTest::keyClick(static_cast<QWidget*>(nullptr), Qt::Key_Return);
    };
    auto answer = [&](int index) {
        ASSERT_NE(ui::ChoiceDialog::topShowing(), nullptr);
        ui::ChoiceDialog::topShowing()->clickButtonAtIndex(index);
        spinEvents(10);
    };

    type(screen->kyAccountTextInput(), "9999");
    type(screen->kyPasswordTextInput(), "pw");
    submit();
    EXPECT_EQ(shownMessage(), QString::fromUtf8("输入Ky号有误,请重新输入"));
    answer(0);
    typeOn("9");
    EXPECT_EQ(account->text(), "99999");

    type(screen->kyPasswordTextInput(), "bad");
    const int before = signIns.size();
    submit();
    ASSERT_TRUE(waitUntil([&] { return signIns.size() == before + 1; }));
    screen->loginResult(false, 1);
    ASSERT_NE(ui::ChoiceDialog::showingWithTag(Form::kWrongPasswordTag), nullptr);
    answer(1);  // "再试一次"
    typeOn("ok");
    EXPECT_EQ(password(), "ok");

    submit();
    ASSERT_TRUE(waitUntil([&] { return signIns.size() == before + 2; }));
    screen->loginResult(false, 2);  // no network
    EXPECT_EQ(shownMessage(), QString::fromUtf8("请检查你的网络设置"));
    answer(0);
    typeOn("!");
    EXPECT_EQ(password(), "ok!");
    EXPECT_EQ(account->text(), "99999");
}

TEST_F(RecoveryBindingScreenTest, AVerificationCodeGoesThroughTheCodeScreen)
{
    present(Form::Bind)->setDelegate(&delegate);
    signIn("10006", "pw");
    screen->loginNeedVerfy("file:///code.png", false);
    EXPECT_EQ(verifyUrls, QStringList({"file:///code.png"}));
    EXPECT_EQ(sheet->count(), 2);
    // The code screen's repeated sign-in reports here.
    screen->loginResult(true, 0);
    EXPECT_EQ(delegate.bound, QStringList({"10006"}));

    // Giving up on the code ends the sign-in: a late answer changes nothing.
    sheet->popToRoot(false);
    signIn(QString(), "pw2");
    screen->loginNeedVerfy("file:///code.png", true);
    screen->cancelVerifyPassword();
    screen->loginResult(true, 0);
    EXPECT_EQ(delegate.bound.size(), 1);
    EXPECT_FALSE(screen->isSigningIn());
}

TEST_F(RecoveryBindingScreenTest, TheRecoveryFormShowsTheBoundAccountAndItsButton)
{
    passwords->binding().setBinding("10007");
    present(Form::Recover);
    spinEvents(50);
    const ShownImage shown(canvas.get(), QStringLiteral("private_album_recovery_binding.png"));
    EXPECT_EQ(shown.areaOf(sheet), QRect(243, 136, 538, 495));
    QLineEdit* account = screen->kyAccountTextInput()->boldTextField();
    EXPECT_EQ(account->text(), "10007");
    EXPECT_FALSE(account->isEnabled()) << "the bound account is shown, not asked for";
    EXPECT_GT(shown.colourCount(shown.areaOf(account)), 2) << "and drawn";
    EXPECT_EQ(screen->firstTipLabel()->text(), "请输入你的关联Ky帐号密码");
    EXPECT_TRUE(screen->firstTipLabel()->isVisible());
    const QColor button = shown.average(shown.areaOf(screen->confirmButton()));
    EXPECT_GT(button.green(), button.red() + 40) << "the green confirm button";
    EXPECT_GT(button.green(), button.blue() + 40);
}

namespace {

// The binding screen with its default sign-in and code screen, over the
// shared disk store in a temporary folder.
class BindingSignInTest : public PrivateAlbumFixture {
protected:
    BindingSignInTest() { showCanvas(); }
    ~BindingSignInTest() override { closeCanvas(); }

    void present(int type)
    {
        Binding::Collaborators c;
        c.passwords = passwords.get();
        c.usage = [](int) {};
        c.networkKind = [] { return 3; };
        screen = new Binding(type, c);
        screen->setDelegate(&delegate);
        sheet = new PaviPadNavigationController(screen);
        presenter->presentSheet(sheet);
        spinEvents(10);
    }
    void confirm(const QString& account, const QString& password)
    {
        screen->kyAccountTextInput()->boldTextField()->setText(account);
        screen->kyPasswordTextInput()->boldTextField()->setText(password);
        screen->confirmButtonClicked();
    }
    // Waits for the code screen the sign-in asked for.
    PavVerifyPasswordController_iPad* codeScreen()
    {
        waitUntil([this] { return qobject_cast<PavVerifyPasswordController_iPad*>(sheet->topScreen()) != nullptr; });
        return qobject_cast<PavVerifyPasswordController_iPad*>(sheet->topScreen());
    }
    void submitCode(PavVerifyPasswordController_iPad* code, const QString& text)
    {
        code->codeField()->boldTextField()->setText(text);
        code->submitButtonClicked();
        EXPECT_TRUE(PavProgressView::showing());   // "登录中..." while it signs in again
    }
    bool overlayGone()
    {
        spinEvents(20);
        return PavProgressView::showing() == nullptr;
    }

    SharedDiskStore disk;
    RecordingDelegate delegate;
    QPointer<Binding> screen;
    QPointer<ui::NavigationStack> sheet;
};

}

TEST_F(BindingSignInTest, BindingToAnotherAccountLeavesTheCloudSessionAsItWas)
{
    ASSERT_TRUE(disk.signInDisk("10001", "album-pw"));
    const QString albumKey = DiskLoginModel::sharedInstance().sessionKey();
    ASSERT_FALSE(albumKey.isEmpty());

    present(Form::Bind);
    confirm("20002", "other-pw");
    ASSERT_TRUE(waitUntil([this] { return passwords->hasBinded(); }));
    EXPECT_EQ(passwords->binding().getBinding(), "20002");

    EXPECT_EQ(DiskLoginModel::sharedInstance().sessionKey(), albumKey);
    ASSERT_TRUE(DiskManager::shareDiskManager().current_user());
    EXPECT_EQ(DiskManager::shareDiskManager().current_user()->uin().value_or(0), 10001);
    // The facade still acts for the first account.
    RecordingDiskResponse r;
    DiskManager::shareDiskManager().requestQueryUser(&r);
    ASSERT_TRUE(waitUntil([&] { return !r.log.isEmpty(); }));
    ASSERT_TRUE(r.user);
    EXPECT_EQ(r.user->uin().value_or(0), 10001);
}

TEST_F(BindingSignInTest, TheCodeScreensOverlayGoesOnEveryResultAndCancel)
{
    disk.requireCode("20003", "right");
    present(Form::Bind);

    // A wrong password behind a right code: the code screen goes, the overlay too.
    confirm("20003", "wrong");
    PavVerifyPasswordController_iPad* code = codeScreen();
    ASSERT_TRUE(code);
    submitCode(code, disk.pendingCode("20003"));
    ASSERT_TRUE(waitUntil([] { return ui::ChoiceDialog::showingWithTag(Form::kWrongPasswordTag) != nullptr; }));
    EXPECT_TRUE(overlayGone());
    EXPECT_EQ(sheet->topScreen(), screen.data());
    ui::ChoiceDialog::showingWithTag(Form::kWrongPasswordTag)->clickButtonAtIndex(1);

    // Going back from the code screen.
    confirm("20003", "right");
    code = codeScreen();
    ASSERT_TRUE(code);
    code->backButtonClicked();
    EXPECT_TRUE(overlayGone());
    EXPECT_FALSE(screen->isSigningIn());

    // The right code and password: bound, and nothing covers the window.
    confirm("20003", "right");
    code = codeScreen();
    ASSERT_TRUE(code);
    submitCode(code, disk.pendingCode("20003"));
    ASSERT_TRUE(waitUntil([this] { return !delegate.bound.isEmpty(); }));
    EXPECT_EQ(delegate.bound, QStringList({"20003"}));
    EXPECT_TRUE(overlayGone());
}

TEST_F(BindingSignInTest, WithoutADelegateABindBehindTheCodeScreenGoesBackToTheScreenBelow)
{
    disk.requireCode("20004", "right");
    // The binding screen after a first password: pushed over another screen, no delegate.
    auto* below = new ui::Screen;
    sheet = new PaviPadNavigationController(below);
    presenter->presentSheet(sheet);
    Binding::Collaborators c;
    c.passwords = passwords.get();
    c.usage = [](int) {};
    c.networkKind = [] { return 3; };
    screen = new Binding(Form::OfferBinding, c);
    int handedOn = 0;
    screen->setPopInvocation([&] { ++handedOn; });
    sheet->push(screen, false);
    spinEvents(10);

    confirm("20004", "right");
    PavVerifyPasswordController_iPad* code = codeScreen();
    ASSERT_TRUE(code);
    submitCode(code, disk.pendingCode("20004"));
    ASSERT_TRUE(waitUntil([this] { return passwords->hasBinded(); }));
    ASSERT_TRUE(waitUntil([&] { return handedOn == 1; }));
    EXPECT_EQ(sheet->topScreen(), below);
    EXPECT_EQ(sheet->count(), 1);
    EXPECT_TRUE(presenter->presentedScreen()) << "the sheet stays: the binding screen was not its first";
    EXPECT_TRUE(overlayGone());
}
