#include "LockFixture.h"

#include <QFile>

namespace {

using PinEntryTest = LockFixture;
using T = PinEntryMachine;

TEST_F(PinEntryTest, FirstPasswordIsConfirmedSavedAndHandedToTheBinding)
{
    auto m = machine(T::FirstPassword);
    EXPECT_EQ(m->title(), "请设置密码");
    enter(*m, "1234");
    EXPECT_EQ(m->title(), "请再输入一次");
    enter(*m, "1235");
    EXPECT_EQ(m->message(), "两次输入密码不一致，请重新输入");
    EXPECT_EQ(m->title(), "请设置密码");
    EXPECT_FALSE(manager->passwordFile().exists());

    enter(*m, "0000");
    enter(*m, "0000");
    EXPECT_EQ(manager->passwordFile().read(), "0000");
    EXPECT_TRUE(manager->hasVerified());
    EXPECT_EQ(usage, std::vector<int>{27101});
    EXPECT_TRUE(manager->binding().hasShownBinding());
    EXPECT_EQ(count(Event::ReplaceWithBinding), 1);
    EXPECT_EQ(count(Event::DidSetPassword), 0);
    EXPECT_EQ(count(Event::PasswordSaved), 1);
    EXPECT_FALSE(m->inputText("5"));   // the screen's work is done
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
        EXPECT_FALSE(manager->hasVerified());
    }
    enter(*m, "2468");
    EXPECT_TRUE(manager->hasVerified());
    EXPECT_TRUE(m->message().isEmpty());
    EXPECT_EQ(count(Event::OfferBinding), 1);
    m->answerBindingOffer(false);
    m->answerBindingOffer(true);   // one answer only
    EXPECT_EQ(count(Event::PassedVerification), 1);
    EXPECT_EQ(count(Event::ReplaceWithBinding), 0);

    events.clear();
    enter(*machine(T::EnterPassword), "2468");
    EXPECT_EQ(count(Event::OfferBinding), 0);
    EXPECT_EQ(count(Event::PassedVerification), 1);
}

TEST_F(PinEntryTest, WithoutTheFirstGuideTheEntryPassesAtOnceAndStillMarksTheOfferShown)
{
    // The settings sheet's way in: a type 1 screen with the guide off.
    ASSERT_TRUE(manager->save("2468"));
    manager->setHasVerified(false);
    ASSERT_FALSE(defaults.boolForKey("PavSecretAlbumPasswordHasShowBinding"));
    auto m = machine(T::EnterPassword);
    m->setShowFirstGuide(false);
    enter(*m, "2468");
    EXPECT_TRUE(manager->hasVerified());
    EXPECT_EQ(count(Event::OfferBinding), 0);
    EXPECT_EQ(count(Event::PassedVerification), 1);
    EXPECT_TRUE(defaults.boolForKey("PavSecretAlbumPasswordHasShowBinding"));
}

TEST_F(PinEntryTest, ChangeAsksForTheOldPasswordUnlessThereIsNone)
{
    auto fresh = machine(T::ChangePassword);
    EXPECT_EQ(fresh->title(), "请设置密码");
    enter(*fresh, "1111");
    EXPECT_EQ(fresh->title(), "请再输入一次");
    enter(*fresh, "2222");
    EXPECT_EQ(fresh->title(), "请设置新的密码");

    ASSERT_TRUE(manager->save("1111"));
    manager->binding().setBinding("12345");
    auto m = machine(T::ChangePassword);
    EXPECT_EQ(m->title(), "请输入旧的密码");
    EXPECT_TRUE(m->showsForgotButton());
    enter(*m, "1111");
    EXPECT_EQ(m->title(), "请设置新的密码");
    EXPECT_FALSE(m->showsForgotButton());
    enter(*m, "2222");
    enter(*m, "2222");
    EXPECT_EQ(manager->passwordFile().read(), "2222");
    EXPECT_EQ(count(Event::DidSetPassword), 1);
    EXPECT_EQ(count(Event::ReplaceWithBinding), 0);
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
    EXPECT_TRUE(usage.empty());
    EXPECT_EQ(count(Event::PasswordSaved), 0);
    EXPECT_TRUE(manager->verifyPassword("1111"));
}

TEST_F(PinEntryTest, OnlySingleDigitsAreTakenAndTheFourthIsHandedOnOnce)
{
    auto m = machine(T::FirstPassword);
    for (const char* bad : {"", "a", "5a", " 5", "-1", "12", "\xd9\xa3" /* Arabic-Indic three */})
        EXPECT_FALSE(m->inputText(QString::fromUtf8(bad))) << bad;
    m->deleteBackward();   // nothing to delete
    EXPECT_EQ(count(Event::Changed), 0);

    for (QChar c : QString("1234"))
        ASSERT_TRUE(m->inputText(QString(c)));
    EXPECT_EQ(m->filledCount(), 4);
    EXPECT_EQ(count(Event::SubmitScheduled), 1);
    EXPECT_FALSE(m->inputText("9"));   // ignored while the hand-on waits
    m->deleteBackward();
    m->submit();
    m->submit();
    EXPECT_TRUE(m->isConfirming());
    EXPECT_EQ(m->filledCount(), 0);
    enter(*m, "1234");
    m->submit();
    EXPECT_EQ(count(Event::PasswordSaved), 1);
}

TEST_F(PinEntryTest, RelockForgetsWhatTheScreenHadAccepted)
{
    ASSERT_TRUE(manager->save("1111"));
    auto m = machine(T::ChangePassword);
    enter(*m, "1111");
    enter(*m, "9999");
    m->relock();
    EXPECT_FALSE(m->isVerified());
    EXPECT_FALSE(m->isConfirming());
    EXPECT_EQ(m->title(), "请输入旧的密码");
    enter(*m, "9999");
    enter(*m, "9999");
    EXPECT_EQ(m->message(), "密码错误，请重新输入");
    EXPECT_EQ(manager->passwordFile().read(), "1111");

    // A pending hand-on and a pending binding offer go too.
    auto enterScreen = machine(T::EnterPassword);
    for (QChar c : QString("1111"))
        enterScreen->inputText(QString(c));
    enterScreen->relock();
    enterScreen->submit();
    EXPECT_EQ(count(Event::OfferBinding), 0);
    enter(*enterScreen, "1111");
    enterScreen->relock();
    enterScreen->answerBindingOffer(false);
    EXPECT_EQ(count(Event::PassedVerification), 0);
}

TEST_F(PinEntryTest, RecoverySetsANewPasswordWithoutTheOldOneUntilRelock)
{
    ASSERT_TRUE(manager->save("1111"));
    EXPECT_FALSE(machine(T::EnterPassword)->showsForgotButton());
    manager->binding().setBinding("12345");
    auto m = machine(T::EnterPassword);
    EXPECT_TRUE(m->showsForgotButton());
    m->recoveryVerified();
    EXPECT_EQ(m->type(), T::ChangePassword);
    EXPECT_EQ(m->title(), "请设置新的密码");
    m->relock();
    EXPECT_EQ(m->type(), T::EnterPassword);
    EXPECT_TRUE(m->showsForgotButton());

    m->recoveryVerified();
    enter(*m, "3333");
    enter(*m, "3333");
    EXPECT_EQ(manager->passwordFile().read(), "3333");
    EXPECT_EQ(count(Event::DidSetPassword), 1);
}

}
