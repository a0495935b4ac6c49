#include "LockFixture.h"

#include "Public/PavAlertView.h"
#include "Public/PaviPadNavigationController.h"
#include "albums/lock/PavAlbumPasswordBox.h"
#include "albums/lock/PavSecretAlbumPasswordController_iPad.h"
#include "platform/core/AppLifecycle.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "support/EventLoop.h"
#include "support/Screenshot.h"
#include "support/ShowCanvas.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

namespace {

using Lock = PavSecretAlbumPasswordController_iPad;

struct RecordingDelegate : QObject, PavSecretAlbumPasswordControllerDelegate {
    void secretAlbumPasswordControllerDidPassVerification(Lock* c) override { log.append("pass"), args.append(c); }
    void secretAlbumPasswordControllerDidSetPassword(Lock* c) override { log.append("set"), args.append(c); }
    void secretAlbumPasswordControllerWillClose(Lock* c) override { log.append("close"), args.append(c); }
    QStringList log;
    QList<Lock*> args;
};

class LockScreenTest : public LockFixture {
protected:
    LockScreenTest()
    {
        ui::Animations::setEnabled(false);
        EXPECT_TRUE(showOnCanvas(canvas, presenter = new ui::Screen));
    }
    ~LockScreenTest() override
    {
        Lock::setBindingScreenFactory({});
        canvas.reset();
        for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing())
            delete d;
        ui::Animations::setEnabled(true);
    }

    Lock* present(int type)
    {
        lock = new Lock(type, *manager, [this](int id) { usage.push_back(id); });
        lock->setDelegate(delegate.get());
        presenter->presentSheet(new PaviPadNavigationController(lock));
        spinEvents(10);
        return lock;
    }
    void type(const QString& keys)
    {
        for (QChar c : keys)
            QTest::keyClick(lock, c.toLatin1());
    }
    // Types four digits and waits for the hand-on.
    void enterPin(const QString& pin)
    {
        type(pin);
        ASSERT_TRUE(waitUntil([this] { return !lock || !lock->machine().isSubmitting(); }));
    }
    int filledBoxes() const
    {
        int n = 0;
        for (PavAlbumPasswordBox* box : lock->passwordBoxArray())
            n += box->text().isEmpty() ? 0 : 1;
        return n;
    }

    std::unique_ptr<ui::Canvas> canvas;
    ui::Screen* presenter = nullptr;
    QPointer<Lock> lock;
    std::unique_ptr<RecordingDelegate> delegate = std::make_unique<RecordingDelegate>();
};

TEST_F(LockScreenTest, FirstPasswordThroughTheKeyboard)
{
    present(PinEntryMachine::FirstPassword);
    EXPECT_EQ(lock->title(), "请设置密码");
    ASSERT_TRUE(lock->leftBarButtonItem().has_value());
    EXPECT_EQ(lock->leftBarButtonItem()->title, "关闭");
    EXPECT_FALSE(lock->rightBarButtonItem().has_value());
    EXPECT_TRUE(lock->alertLabel()->isHidden());
    EXPECT_EQ(canvas->focusWidget(), lock->realInputField());

    enterPin("1234");
    enterPin("1235");
    EXPECT_EQ(lock->alertLabel()->text(), "两次输入密码不一致，请重新输入");
    EXPECT_FALSE(lock->alertLabel()->isHidden());
    EXPECT_FALSE(saveScreenshot(canvas.get(), "lock_sheet.png").isEmpty());

    enterPin("1234");
    enterPin("1234");
    EXPECT_EQ(manager->passwordFile().read(), "1234");
    // This test registers no binding screen: the hand-over completes at once.
    EXPECT_EQ(delegate->log, QStringList{"set"});
    ui::ChoiceDialog* saved = ui::ChoiceDialog::topShowing();
    ASSERT_NE(saved, nullptr);
    EXPECT_TRUE(saved->message().startsWith("密码设置成功，请牢记你的密码！\n【注意】"));
    EXPECT_EQ(saved->buttonTitleAtIndex(0), "知道了");
}

TEST_F(LockScreenTest, KeysOtherThanSingleDigitsAreIgnored)
{
    present(PinEntryMachine::FirstPassword);
    QGuiApplication::clipboard()->setText("1234");
    QTest::keyClick(lock, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(lock, Qt::Key_Backspace);   // nothing to delete
    type("a7-");
    EXPECT_EQ(filledBoxes(), 1);
    QTest::keyClick(lock, Qt::Key_Backspace);
    EXPECT_EQ(filledBoxes(), 0);

    type("5678");
    EXPECT_EQ(filledBoxes(), 4);   // the fourth box is drawn before the hand-on
    type("9");
    QTest::keyClick(lock, Qt::Key_Backspace);
    EXPECT_EQ(filledBoxes(), 4);
    ASSERT_TRUE(waitUntil([this] { return lock->title() == "请再输入一次"; }));
    EXPECT_EQ(filledBoxes(), 0);
}

TEST_F(LockScreenTest, BindingOfferAfterTheFirstEntry)
{
    ASSERT_TRUE(manager->save("2468"));
    present(PinEntryMachine::EnterPassword);
    enterPin("2468");
    ui::Alert* offer = ui::Alert::showingAlertWithTag(1023);
    ASSERT_NE(offer, nullptr);
    EXPECT_TRUE(offer->title().isEmpty());
    EXPECT_EQ(offer->message(), "遗忘密码将无法进入隐私相册强烈建议绑定Ky，忘记密码时可通过Ky找回密码。");
    EXPECT_EQ(offer->buttonTitleAtIndex(0), "以后再说");
    EXPECT_EQ(offer->buttonTitleAtIndex(1), "立即设置");
    offer->clickButtonAtIndex(0);
    EXPECT_EQ(delegate->log, QStringList{"pass"});
    EXPECT_EQ(delegate->args.value(0), lock.data());
}

TEST_F(LockScreenTest, BackgroundDropsTheOfferSilentlyAndRelocks)
{
    ASSERT_TRUE(manager->save("2468"));
    present(PinEntryMachine::EnterPassword);
    enterPin("2468");
    ASSERT_NE(ui::Alert::showingAlertWithTag(1023), nullptr);

    AppLifecycle& app = AppLifecycle::shared();
    app.becomeActive();
    app.enterBackground();
    manager->setHasVerified(false);   // what the shell does on entering the background
    spinEvents(20);
    EXPECT_EQ(ui::Alert::showingAlertWithTag(1023), nullptr);
    EXPECT_TRUE(delegate->log.isEmpty());
    EXPECT_EQ(lock->title(), "请输入密码");
    EXPECT_FALSE(lock->machine().isVerified());
    app.enterForeground();
}

TEST_F(LockScreenTest, WithoutARegisteredBindingScreenBindNowAndForgotPasswordOpenNothing)
{
    ASSERT_TRUE(manager->save("2468"));
    manager->binding().setBinding("12345");
    present(PinEntryMachine::EnterPassword);
    ASSERT_TRUE(lock->rightBarButtonItem().has_value());
    EXPECT_EQ(lock->rightBarButtonItem()->title, "忘记密码");
    lock->rightBarButtonItem()->action();
    EXPECT_EQ(lock->navigationStack()->count(), 1);

    enterPin("2468");
    ui::Alert* offer = ui::Alert::showingAlertWithTag(1023);
    ASSERT_NE(offer, nullptr);
    offer->clickButtonAtIndex(1);
    EXPECT_EQ(lock->navigationStack()->count(), 1);
    EXPECT_EQ(delegate->log, QStringList{"set"});
}

TEST_F(LockScreenTest, FirstPasswordHandsOverToTheBindingScreenWithAWeakCompletion)
{
    std::function<void()> onClose;
    Lock::setBindingScreenFactory([&](int t, Lock*, std::function<void()> done) {
        EXPECT_EQ(t, 0);
        onClose = std::move(done);
        return new ui::Screen;
    });
    present(PinEntryMachine::FirstPassword);
    ui::NavigationStack* stack = lock->navigationStack();
    enterPin("4321");
    enterPin("4321");
    spinEvents(20);
    EXPECT_TRUE(delegate->log.isEmpty());
    EXPECT_EQ(stack->count(), 1);
    EXPECT_TRUE(lock.isNull());   // replaced and gone
    ASSERT_TRUE(onClose);

    onClose();
    EXPECT_EQ(delegate->log, QStringList{"set"});
    EXPECT_EQ(delegate->args.value(0), nullptr);
    delegate.reset();
    onClose();   // the delegate is gone too: nothing is sent
}

TEST_F(LockScreenTest, RelockSendsAnOpenScreenBackToItsStart)
{
    ASSERT_TRUE(manager->save("1111"));
    manager->setHasVerified(false);
    present(PinEntryMachine::ChangePassword);
    EXPECT_EQ(lock->title(), "请输入旧的密码");
    enterPin("1111");
    type("99");
    manager->setHasVerified(false);   // the shell on entering the background
    EXPECT_EQ(lock->title(), "请输入旧的密码");
    EXPECT_EQ(filledBoxes(), 0);
    EXPECT_FALSE(lock->machine().isVerified());
}

TEST_F(LockScreenTest, CloseTellsTheDelegateAndClosesTheSheet)
{
    present(PinEntryMachine::FirstPassword);
    ASSERT_NE(presenter->presentedScreen(), nullptr);
    lock->leftBarButtonItem()->action();
    EXPECT_EQ(delegate->log, QStringList{"close"});
    ASSERT_TRUE(waitUntil([this] { return presenter->presentedScreen() == nullptr; }));
}

}
