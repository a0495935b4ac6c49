#include "LockFixture.h"

#include <QFile>

namespace {

using PinEntryTest = LockFixture;
using T = PinEntryMachine;

TEST_F(PinEntryTest, FirstPasswordIsConfirmedSavedAndHandsOverToTheBinding)
{
    auto m = machine(T::FirstPassword);
    EXPECT_EQ(m->title(), "请设置密码");
    enter(*m, "1234");
    EXPECT_EQ(m->title(), "请再输入一次");
    EXPECT_TRUE(m->isConfirming());
    EXPECT_EQ(m->filledCount(), 0);
    EXPECT_FALSE(manager->passwordFile().exists());

    enter(*m, "1234");
    EXPECT_EQ(manager->passwordFile().read(), "1234");
    EXPECT_TRUE(manager->hasVerified());
    EXPECT_EQ(usage, std::vector<int>{27101});
    EXPECT_TRUE(manager->binding().hasShownBinding());
    EXPECT_EQ(count(Event::ReplaceWithBinding), 1);
    EXPECT_EQ(count(Event::DidSetPassword), 0);
    EXPECT_EQ(count(Event::PasswordSaved), 1);
    EXPECT_TRUE(m->message().isEmpty());
    // The screen's work is done: more keys change nothing.
    EXPECT_FALSE(m->inputText("5"));
}

TEST_F(PinEntryTest, MismatchedConfirmationStartsOverWithTheTypesTitle)
{
    auto first = machine(T::FirstPassword);
    enter(*first, "1234");
    enter(*first, "1235");
    EXPECT_EQ(first->message(), "两次输入密码不一致，请重新输入");
    EXPECT_EQ(first->title(), "请设置密码");
    EXPECT_FALSE(first->isConfirming());
    EXPECT_FALSE(manager->passwordFile().exists());

    enter(*first, "4321");
    EXPECT_TRUE(first->message().isEmpty());
    enter(*first, "4321");
    EXPECT_EQ(manager->passwordFile().read(), "4321");

    // A change screen with no password runs first entry at once and uses the
    // "new password" title after a mismatch.
    QFile::remove(manager->passwordFile().path());
    auto change = machine(T::ChangePassword);
    EXPECT_EQ(change->title(), "请设置密码");
    enter(*change, "1111");
    EXPECT_EQ(change->title(), "请再输入一次");
    enter(*change, "2222");
    EXPECT_EQ(change->title(), "请设置新的密码");
}

TEST_F(PinEntryTest, EnteringThePasswordOffersTheBindingOnce)
{
    ASSERT_TRUE(manager->save("2468"));
    manager->setHasVerified(false);

    auto m = machine(T::EnterPassword);
    EXPECT_EQ(m->title(), "请输入密码");
    for (int i = 0; i < 3; ++i) {
        enter(*m, "1357");
        EXPECT_EQ(m->message(), "密码错误，请重新输入");
        EXPECT_EQ(m->filledCount(), 0);
        EXPECT_FALSE(manager->hasVerified());
    }
    enter(*m, "2468");
    EXPECT_TRUE(manager->hasVerified());
    EXPECT_TRUE(m->message().isEmpty());
    EXPECT_EQ(count(Event::OfferBinding), 1);
    EXPECT_EQ(count(Event::PassedVerification), 0);
    EXPECT_TRUE(manager->binding().hasShownBinding());

    m->answerBindingOffer(false);
    m->answerBindingOffer(true);   // one answer only
    EXPECT_EQ(count(Event::PassedVerification), 1);
    EXPECT_EQ(count(Event::ReplaceWithBinding), 0);

    // Next time the offer is not made again.
    events.clear();
    auto again = machine(T::EnterPassword);
    enter(*again, "2468");
    EXPECT_EQ(count(Event::OfferBinding), 0);
    EXPECT_EQ(count(Event::PassedVerification), 1);
}

TEST_F(PinEntryTest, AcceptedOfferOrNoGuideEndTheEntryOtherwise)
{
    ASSERT_TRUE(manager->save("2468"));
    auto m = machine(T::EnterPassword);
    enter(*m, "2468");
    m->answerBindingOffer(true);
    EXPECT_EQ(count(Event::ReplaceWithBinding), 1);

    manager->binding().setHasShownBinding(false);
    events.clear();
    auto quiet = machine(T::EnterPassword);
    quiet->setShowFirstGuide(false);
    enter(*quiet, "2468");
    EXPECT_EQ(count(Event::OfferBinding), 0);
    EXPECT_EQ(count(Event::PassedVerification), 1);
    EXPECT_TRUE(manager->binding().hasShownBinding());
}

TEST_F(PinEntryTest, ChangeAsksForTheOldPasswordFirst)
{
    ASSERT_TRUE(manager->save("1111"));
    manager->binding().setBinding("12345");
    manager->setHasVerified(false);

    auto m = machine(T::ChangePassword);
    EXPECT_EQ(m->title(), "请输入旧的密码");
    EXPECT_TRUE(m->showsForgotButton());
    enter(*m, "2222");
    EXPECT_EQ(m->message(), "密码错误，请重新输入");
    EXPECT_TRUE(m->showsForgotButton());

    enter(*m, "1111");
    EXPECT_EQ(m->title(), "请设置新的密码");
    EXPECT_FALSE(m->showsForgotButton());
    EXPECT_TRUE(m->message().isEmpty());
    enter(*m, "2222");
    EXPECT_EQ(m->title(), "请再输入一次");
    enter(*m, "2222");
    EXPECT_EQ(manager->passwordFile().read(), "2222");
    EXPECT_EQ(count(Event::DidSetPassword), 1);
    EXPECT_EQ(count(Event::ReplaceWithBinding), 0);
    EXPECT_EQ(usage, std::vector<int>{27101});
}

TEST_F(PinEntryTest, SaveFailureKeepsTheOldPassword)
{
    ASSERT_TRUE(manager->save("1111"));
    auto m = machine(T::ChangePassword);
    enter(*m, "1111");
    enter(*m, "5555");
    failWrites = true;
    enter(*m, "5555");
    EXPECT_EQ(m->message(), "设置密码失败，请重试");
    EXPECT_EQ(m->title(), "请设置新的密码");
    EXPECT_FALSE(m->isConfirming());
    EXPECT_TRUE(usage.empty());
    EXPECT_EQ(count(Event::DidSetPassword), 0);
    EXPECT_EQ(count(Event::PasswordSaved), 0);
    EXPECT_TRUE(manager->verifyPassword("1111"));

    // The old password was accepted on this screen: a retry needs no old PIN.
    failWrites = false;
    enter(*m, "5555");
    enter(*m, "5555");
    EXPECT_EQ(manager->passwordFile().read(), "5555");
}

TEST_F(PinEntryTest, OnlySingleDigitsAreTaken)
{
    auto m = machine(T::FirstPassword);
    for (const char* bad : {"", "a", "5a", " 5", "-1", "12", "12345", "\xd9\xa3" /* Arabic-Indic three */, "\x08"})
        EXPECT_FALSE(m->inputText(QString::fromUtf8(bad))) << bad;
    EXPECT_EQ(m->filledCount(), 0);
    EXPECT_EQ(count(Event::Changed), 0);

    m->deleteBackward();   // nothing to delete
    EXPECT_EQ(m->filledCount(), 0);
    EXPECT_TRUE(m->inputText("7"));
    EXPECT_TRUE(m->inputText("8"));
    m->deleteBackward();
    EXPECT_EQ(m->filledCount(), 1);

    auto zeros = machine(T::FirstPassword);
    enter(*zeros, "0000");
    enter(*zeros, "0000");
    EXPECT_EQ(manager->passwordFile().read(), "0000");
}

TEST_F(PinEntryTest, TheFourthDigitIsHandedOnExactlyOnce)
{
    auto m = machine(T::FirstPassword);
    for (QChar c : QString("1234"))
        ASSERT_TRUE(m->inputText(QString(c)));
    EXPECT_TRUE(m->isSubmitting());
    EXPECT_EQ(m->filledCount(), 4);
    EXPECT_EQ(count(Event::SubmitScheduled), 1);

    // Keys while the hand-on waits are ignored.
    EXPECT_FALSE(m->inputText("9"));
    m->deleteBackward();
    EXPECT_EQ(m->filledCount(), 4);

    m->submit();
    m->submit();
    EXPECT_EQ(m->title(), "请再输入一次");
    EXPECT_TRUE(m->isConfirming());
    EXPECT_EQ(m->filledCount(), 0);

    for (QChar c : QString("1234"))
        m->inputText(QString(c));
    m->submit();
    m->submit();
    EXPECT_EQ(count(Event::PasswordSaved), 1);
    EXPECT_EQ(usage.size(), 1u);
}

TEST_F(PinEntryTest, RelockForgetsTheAcceptedOldPassword)
{
    ASSERT_TRUE(manager->save("1111"));
    auto m = machine(T::ChangePassword);
    enter(*m, "1111");
    enter(*m, "9999");
    ASSERT_TRUE(m->isConfirming());

    manager->setHasVerified(false);   // the application went to the background
    m->relock();
    EXPECT_FALSE(m->isVerified());
    EXPECT_FALSE(m->isConfirming());
    EXPECT_EQ(m->title(), "请输入旧的密码");
    EXPECT_EQ(m->filledCount(), 0);

    // A new pair is now taken as a wrong old password and never stored.
    enter(*m, "9999");
    enter(*m, "9999");
    EXPECT_EQ(m->message(), "密码错误，请重新输入");
    EXPECT_EQ(manager->passwordFile().read(), "1111");
    EXPECT_FALSE(manager->hasVerified());
    EXPECT_EQ(count(Event::DidSetPassword), 0);
}

TEST_F(PinEntryTest, RelockDropsAPendingHandOnAndAPendingOffer)
{
    ASSERT_TRUE(manager->save("1111"));
    auto m = machine(T::EnterPassword);
    for (QChar c : QString("1111"))
        m->inputText(QString(c));
    m->relock();
    m->submit();
    EXPECT_EQ(count(Event::OfferBinding), 0);
    EXPECT_EQ(m->filledCount(), 0);

    enter(*m, "1111");
    ASSERT_EQ(count(Event::OfferBinding), 1);
    m->relock();   // the offer was dismissed silently by the background
    m->answerBindingOffer(false);
    EXPECT_EQ(count(Event::PassedVerification), 0);
    enter(*m, "2222");   // no new password without the old one
    EXPECT_EQ(m->message(), "密码错误，请重新输入");
}

TEST_F(PinEntryTest, RecoverySetsANewPasswordWithoutTheOldOneUntilRelock)
{
    ASSERT_TRUE(manager->save("1111"));
    auto plain = machine(T::EnterPassword);
    EXPECT_FALSE(plain->showsForgotButton());

    manager->binding().setBinding("12345");
    auto m = machine(T::EnterPassword);
    EXPECT_TRUE(m->showsForgotButton());
    m->recoveryVerified();
    EXPECT_EQ(m->type(), T::ChangePassword);
    EXPECT_EQ(m->title(), "请设置新的密码");
    EXPECT_FALSE(m->showsForgotButton());

    m->relock();   // a recovery-derived verification does not survive a lock
    EXPECT_EQ(m->type(), T::EnterPassword);
    EXPECT_EQ(m->title(), "请输入密码");
    EXPECT_TRUE(m->showsForgotButton());

    m->recoveryVerified();
    enter(*m, "3333");
    enter(*m, "3333");
    EXPECT_EQ(manager->passwordFile().read(), "3333");
    EXPECT_EQ(count(Event::DidSetPassword), 1);
}

}
