#include "platform/ui/Alert.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ModalHost.h"
#include "platform/ui/NavigationStack.h"
#include "support/RecordingScreen.h"
#include "support/Tap.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

struct ShownRoot {
    QStringList log;
    ui::Canvas canvas;
    RecordingScreen* root;

    ShownRoot()
    {
        root = new RecordingScreen("root", &log);
        canvas.setRootScreen(root);
        canvas.show();
        log.clear();
    }
};

void flushDeletes() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

}

TEST(Modal, FullScreenCoversAndUncoversThePresenter)
{
    ShownRoot s;
    QPointer<RecordingScreen> browser = new RecordingScreen("browser", &s.log);
    s.root->presentFullScreen(browser, false);
    EXPECT_EQ(s.log, (QStringList{"browser.load", "root.willDisappear", "browser.willAppear", "root.didDisappear",
                                  "browser.didAppear"}));
    EXPECT_EQ(s.root->presentedScreen(), browser.data());
    EXPECT_EQ(browser->presentingScreen(), s.root);
    EXPECT_EQ(browser->geometry().size(), ui::Canvas::size());

    s.log.clear();
    bool completed = false;
    browser->dismissModal(false, [&] { completed = true; });
    EXPECT_TRUE(completed);
    EXPECT_EQ(s.log, (QStringList{"browser.willDisappear", "root.willAppear", "browser.didDisappear", "root.didAppear"}));
    EXPECT_EQ(s.root->presentedScreen(), nullptr);
    flushDeletes();
    EXPECT_TRUE(browser.isNull());
}

TEST(Modal, AnimatedPresentationFinishesAfterTheFade)
{
    ShownRoot s;
    auto* browser = new RecordingScreen("browser", &s.log);
    s.root->presentFullScreen(browser, true);
    EXPECT_EQ(browser->appearance(), ui::Screen::Appearance::Appearing);
    ASSERT_TRUE(QTest::qWaitFor([&] { return browser->isOnScreen(); }, 5000));
    EXPECT_EQ(s.root->appearance(), ui::Screen::Appearance::Disappeared);
}

TEST(Modal, SheetLeavesTheScreensBeneathAlone)
{
    ShownRoot s;
    auto* lock = new RecordingScreen("lock", &s.log);
    s.root->presentSheet(new ui::NavigationStack(lock), ui::kFormSheetSize, false);
    EXPECT_EQ(s.log, (QStringList{"lock.load", "lock.willAppear", "lock.didAppear"}));
    ui::ModalHost* host = lock->containingModal();
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->contentFrame(), QRect(243, 136, 538, 495)) << "centred on the canvas";

    s.log.clear();
    s.root->dismissModal(false);
    EXPECT_EQ(s.log, (QStringList{"lock.willDisappear", "lock.didDisappear"}));
}

TEST(Modal, DismissFromAScreenPushedInsideASheetClosesTheSheet)
{
    ShownRoot s;
    auto* stack = new ui::NavigationStack(new RecordingScreen("settings", &s.log));
    s.root->presentSheet(stack, ui::kFormSheetSize, false);
    auto* signIn = new RecordingScreen("signIn", &s.log);
    stack->push(signIn, false);
    QPointer<ui::NavigationStack> guard(stack);
    s.log.clear();

    signIn->dismissModal(false);
    EXPECT_EQ(s.log, (QStringList{"signIn.willDisappear", "signIn.didDisappear"}));
    EXPECT_EQ(s.root->presentedScreen(), nullptr);
    flushDeletes();
    EXPECT_TRUE(guard.isNull());
}

TEST(Modal, DismissingALowerPresentationClosesTheOnesAbove)
{
    ShownRoot s;
    auto* sheet = new RecordingScreen("sheet", &s.log);
    s.root->presentSheet(sheet, ui::kShortFormSheetSize, false);
    auto* top = new RecordingScreen("top", &s.log);
    sheet->presentFullScreen(top, false);
    s.log.clear();

    s.root->dismissModal(false);
    EXPECT_EQ(ui::ModalHost::hostsOn(&s.canvas).size(), 0);
    EXPECT_TRUE(s.log.contains("top.didDisappear"));
    EXPECT_TRUE(s.log.contains("sheet.didDisappear"));
    EXPECT_TRUE(s.root->isOnScreen());
}

TEST(Modal, SheetSwallowsClicksMeantForTheScreenBeneath)
{
    ShownRoot s;
    int clicks = 0;
    auto* button = new QPushButton("under", s.root);
    button->setGeometry(10, 10, 100, 40);
    button->show();
    QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
    s.root->presentSheet(new RecordingScreen("sheet", &s.log), ui::kFormSheetSize, false);
    tapAt(&s.canvas, QPoint(30, 30));
    EXPECT_EQ(clicks, 0);
    s.root->dismissModal(false);
    tapAt(&s.canvas, QPoint(30, 30));
    EXPECT_EQ(clicks, 1);
}

TEST(Modal, AnAlertStaysAboveAPresentationMadeAfterIt)
{
    ShownRoot s;
    int clicks = 0;
    auto* alert = new ui::Alert("", "本设备没有拍照功能", nullptr, "确定");
    alert->setClickedHandler([&](int) { ++clicks; });
    alert->show(&s.canvas);
    s.root->presentFullScreen(new RecordingScreen("browser", &s.log), false);
    auto* button = alert->findChild<QPushButton*>("dialogButton0");
    ASSERT_NE(button, nullptr);
    tapAt(&s.canvas, button->mapTo(&s.canvas, button->rect().center()));
    EXPECT_EQ(clicks, 1);
}
