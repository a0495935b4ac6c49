#include "platform/ui/ActionSheet.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Screen.h"
#include "support/EventLoop.h"
#include "support/Tap.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct AlertLog : ui::AlertDelegate {
    QStringList calls;
    void alertViewClickedButtonAtIndex(ui::Alert* a, int i) override { calls << QString("clicked %1/%2").arg(a->tag()).arg(i); }
    void alertViewDidDismissWithButtonIndex(ui::Alert* a, int i) override { calls << QString("dismissed %1/%2").arg(a->tag()).arg(i); }
};

// A delegate that is also a QObject, so the alert notices when it goes away.
class ScreenDelegate : public ui::Screen, public ui::AlertDelegate {
public:
    int answers = 0;
    void alertViewDidDismissWithButtonIndex(ui::Alert*, int) override { ++answers; }
};

}

TEST(Alert, CancelButtonComesFirstWhenGiven)
{
    ui::Alert withCancel("", "m", nullptr, "以后再说", {"立即设置"});
    EXPECT_EQ(withCancel.cancelButtonIndex(), 0);
    EXPECT_EQ(withCancel.firstOtherButtonIndex(), 1);
    EXPECT_EQ(withCancel.buttonTitleAtIndex(1), "立即设置");

    ui::Alert withoutCancel("", "m", nullptr, "", {"确定", "不再提示"});
    EXPECT_EQ(withoutCancel.cancelButtonIndex(), -1);
    EXPECT_EQ(withoutCancel.numberOfButtons(), 2);
    EXPECT_EQ(withoutCancel.buttonTitleAtIndex(0), "确定");
}

TEST(Alert, UserTapAnswersClickThenDismissAndTheAlertGoesAway)
{
    ui::Canvas canvas;
    canvas.show();
    AlertLog delegate;
    QPointer<ui::Alert> alert = new ui::Alert("", "遗忘密码", &delegate, "以后再说", {"立即设置"});
    alert->setTag(1023);
    int handled = -2;
    alert->setDismissedHandler([&](int i) { handled = i; });
    alert->show(&canvas);
    EXPECT_EQ(ui::Alert::showingAlertWithTag(1023), alert.data());
    EXPECT_EQ(ui::ChoiceDialog::topShowing(), alert.data());

    auto* button = alert->findChild<QPushButton*>("dialogButton1");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(delegate.calls, (QStringList{"clicked 1023/1", "dismissed 1023/1"}));
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(ui::Alert::showingAlertWithTag(1023), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alert.isNull());
}

TEST(Alert, ProgrammaticDismissSendsOnlyTheDismissal)
{
    ui::Canvas canvas;
    AlertLog delegate;
    auto* alert = new ui::Alert("", "x", &delegate, "确定");
    alert->setTag(7);
    alert->show(&canvas);
    alert->dismissWithClickedButtonIndex(0, false);
    alert->dismissWithClickedButtonIndex(0, false);
    EXPECT_EQ(delegate.calls, (QStringList{"dismissed 7/0"}));
}

TEST(Alert, DelegateThatWentAwayHearsNothing)
{
    ui::Canvas canvas;
    auto* delegate = new ScreenDelegate;
    auto* alert = new ui::Alert("", "x", delegate, "确定");
    alert->show(&canvas);
    delete delegate;
    alert->clickButtonAtIndex(0);   // must not touch the deleted delegate
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty());
}

TEST(Alert, OneAlertAtATimeTheOthersWaitTheirTurnInOrder)
{
    ui::Canvas canvas;
    canvas.show();
    AlertLog delegate;
    auto* first = new ui::Alert("", "密码设置成功，请牢记你的密码！", &delegate, "知道了");
    first->setTag(1);
    auto* second = new ui::Alert("", "照片已成功导入隐私相册", &delegate, "确定");
    second->setTag(2);
    auto* third = new ui::Alert("", "x", &delegate, "确定");
    third->setTag(3);
    auto* fourth = new ui::Alert("", "y", &delegate, "确定");
    fourth->setTag(4);
    first->show(&canvas);
    second->show(&canvas);
    third->show(&canvas);
    fourth->show(&canvas);
    EXPECT_EQ(ui::ChoiceDialog::showing(), (QList<ui::ChoiceDialog*>{first}));
    EXPECT_TRUE(second->isWaiting());
    EXPECT_FALSE(second->findChild<QPushButton*>("dialogButton0")) << "a waiting alert is not even laid out";

    // A waiting alert dismissed by the program leaves the queue with its answer.
    third->dismissWithClickedButtonIndex(0, false);
    EXPECT_FALSE(third->isWaiting());

    first->clickButtonAtIndex(0);
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty()) << "the next one shows once the first has gone";
    ASSERT_TRUE(waitUntil([&] { return second->isShowing(); }));
    EXPECT_EQ(ui::ChoiceDialog::showing(), (QList<ui::ChoiceDialog*>{second}));
    QPushButton* button = second->findChild<QPushButton*>("dialogButton0");
    ASSERT_TRUE(button);
    EXPECT_TRUE(button->isVisible());

    // Deleted while up, it still hands on.
    delete second;
    ASSERT_TRUE(waitUntil([&] { return fourth->isShowing(); }));
    fourth->clickButtonAtIndex(0);
    EXPECT_EQ(delegate.calls, (QStringList{"dismissed 3/0", "clicked 1/0", "dismissed 1/0", "clicked 4/0",
                                           "dismissed 4/0"}));

    // With nothing up, the next alert shows at once.
    auto* alone = new ui::Alert("", "z", nullptr, "确定");
    alone->show(&canvas);
    EXPECT_TRUE(alone->isShowing());
    alone->clickButtonAtIndex(0);
}

TEST(ActionSheet, IndexesFollowTheGivenOrderAndOutsideTapAnswersCancel)
{
    ui::Canvas canvas;
    canvas.show();
    struct Log : ui::ActionSheetDelegate {
        QList<int> clicked;
        void actionSheetClickedButtonAtIndex(ui::ActionSheet*, int i) override { clicked << i; }
    } delegate;
    auto* sheet = new ui::ActionSheet("", &delegate, "", "", {"从Pad相册选择", "拍照"});
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), "从Pad相册选择");
    EXPECT_EQ(sheet->buttonTitleAtIndex(1), "拍照");
    EXPECT_EQ(sheet->cancelButtonIndex(), -1);
    sheet->showFromRect(QRect(20, 700, 50, 50), &canvas);
    EXPECT_TRUE(canvas.rect().contains(sheet->geometry())) << "kept on the canvas";

    tapAt(&canvas, QPoint(900, 40));
    EXPECT_EQ(delegate.clicked, (QList<int>{-1}));
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty());
}
