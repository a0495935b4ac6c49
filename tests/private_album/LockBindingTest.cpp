#include "PrivateAlbumFixture.h"

#include "Public/KyTextInput.h"
#include "Public/PaviPadNavigationController.h"
#include "albums/binding/PavSecretAlbumPasswordProtectViewController_iPad.h"
#include "albums/lock/PavSecretAlbumPasswordController_iPad.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/NavigationStack.h"
#include "support/EventLoop.h"

#include <QLineEdit>
#include <QTest>

namespace {

using Lock = PavSecretAlbumPasswordController_iPad;
using Binding = PavSecretAlbumPasswordProtectViewController_iPad;

struct LockOutcomes : QObject, PavSecretAlbumPasswordControllerDelegate {
    int passed = 0;
    int set = 0;
    void secretAlbumPasswordControllerDidPassVerification(Lock*) override { ++passed; }
    void secretAlbumPasswordControllerDidSetPassword(Lock*) override { ++set; }
};

// The lock screen with the binding screen registered, as the application
// runs them, over a sign-in the test answers.
class LockBindingTest : public PrivateAlbumFixture {
protected:
    LockBindingTest()
    {
        Binding::Collaborators c;
        c.passwords = passwords.get();
        c.usage = [](int) {};
        c.networkKind = [] { return 3; };
        c.signIn = [this](ZEBConnectionAuthDelegate*, const QString& account, const QString&) { signIns << account; };
        Binding::registerWithLockScreen(c);
        showCanvas();
    }
    ~LockBindingTest() override
    {
        Lock::setBindingScreenFactory({});
        closeCanvas();
    }
    void present(int type)
    {
        lock = new Lock(type, *passwords, [](int) {});
        lock->setDelegate(&outcomes);
        sheet = new PaviPadNavigationController(lock);
        presenter->presentSheet(sheet);
        spinEvents(10);
    }
    void enterPin(const char* pin)
    {
        for (const char* c = pin; *c; ++c)
            QTest::keyClick(lock, *c);
        ASSERT_TRUE(waitUntil([this] { return !lock || !lock->machine().isSubmitting(); }));
    }
    Binding* topBinding() const { return sheet ? qobject_cast<Binding*>(sheet->topScreen()) : nullptr; }

    QStringList signIns;
    LockOutcomes outcomes;
    QPointer<Lock> lock;
    QPointer<ui::NavigationStack> sheet;
};

}

TEST_F(LockBindingTest, TheFirstPasswordIsReportedOnlyAfterTheBindingStep)
{
    present(3);
    enterPin("1234");
    enterPin("1234");
    ASSERT_TRUE(waitUntil([this] { return topBinding() != nullptr; }));
    EXPECT_EQ(topBinding()->controllerType(), 0);
    EXPECT_EQ(sheet->count(), 1);  // in the lock screen's place
    EXPECT_EQ(outcomes.set, 0);
    EXPECT_TRUE(passwords->hasVerified());

    topBinding()->rightBarButtonItem()->action();  // "跳过"
    ASSERT_TRUE(waitUntil([this] { return outcomes.set == 1; }));
    EXPECT_FALSE(presenter->presentedScreen());
    spinEvents(20);
    EXPECT_EQ(outcomes.set, 1);
    EXPECT_FALSE(passwords->hasBinded());
}

TEST_F(LockBindingTest, AForgottenPasswordIsResetThroughTheBoundAccount)
{
    ASSERT_TRUE(passwords->save("1234"));
    passwords->binding().setBinding("10001");
    passwords->setHasVerified(false);
    present(1);
    ASSERT_TRUE(lock->rightBarButtonItem().has_value());  // "忘记密码"
    lock->rightBarButtonItem()->action();
    ASSERT_NE(topBinding(), nullptr);
    Binding* binding = topBinding();
    EXPECT_EQ(binding->controllerType(), 3);
    EXPECT_EQ(binding->kyAccountTextInput()->boldTextField()->text(), "10001");
    binding->kyPasswordTextInput()->boldTextField()->setText("pw");
    binding->confirmButtonClicked();
    ASSERT_TRUE(waitUntil([this] { return signIns.size() == 1; }));
    binding->loginResult(true, 0);
    ASSERT_TRUE(waitUntil([this] { return sheet->count() == 1; }));
    EXPECT_EQ(lock->machine().type(), PinEntryMachine::ChangePassword);
    EXPECT_TRUE(lock->machine().isVerified());
    EXPECT_EQ(lock->title(), "请设置新的密码");
    EXPECT_FALSE(lock->rightBarButtonItem().has_value());

    // The new password, without the old one.
    enterPin("5678");
    enterPin("5678");
    EXPECT_EQ(passwords->passwordFile().read(), "5678");
    EXPECT_EQ(outcomes.set, 1);
}

TEST_F(LockBindingTest, ARelockDuringTheRecoveryStartsTheLockOver)
{
    ASSERT_TRUE(passwords->save("1234"));
    passwords->binding().setBinding("10001");
    passwords->setHasVerified(false);
    present(1);
    lock->rightBarButtonItem()->action();
    Binding* binding = topBinding();
    ASSERT_NE(binding, nullptr);
    binding->kyPasswordTextInput()->boldTextField()->setText("pw");
    binding->confirmButtonClicked();
    ASSERT_TRUE(waitUntil([this] { return signIns.size() == 1; }));
    passwords->setHasVerified(false);  // the album locks meanwhile
    binding->loginResult(true, 0);     // the answer comes late
    spinEvents(20);
    EXPECT_EQ(lock->machine().type(), 1);
    EXPECT_FALSE(lock->machine().isVerified());
    EXPECT_FALSE(binding->isSigningIn());
}
