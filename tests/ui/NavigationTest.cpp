#include "platform/ui/Canvas.h"
#include "platform/ui/NavigationBar.h"
#include "platform/ui/NavigationStack.h"
#include "platform/ui/TabContainer.h"
#include "support/RecordingScreen.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

using ui::NavigationStack;

namespace {

struct ShownStack {
    QStringList log;
    ui::Canvas canvas;
    NavigationStack* stack;

    ShownStack()
    {
        stack = new NavigationStack(new RecordingScreen("root", &log));
        canvas.setRootScreen(stack);
        canvas.show();
        log.clear();
    }
};

}

TEST(NavigationStack, ShowsRootOnFirstAppearanceOnly)
{
    QStringList log;
    ui::Canvas canvas;
    auto* root = new RecordingScreen("root", &log);
    auto* stack = new NavigationStack(root);
    stack->push(new RecordingScreen("second", &log), false);
    EXPECT_TRUE(log.isEmpty()) << "nothing appears before the canvas is shown";
    canvas.setRootScreen(stack);
    canvas.show();
    EXPECT_EQ(log, (QStringList{"second.load", "second.willAppear", "second.didAppear"}));
    EXPECT_FALSE(root->isViewLoaded()) << "a covered screen loads only when it is uncovered";
}

TEST(NavigationStack, PushAndPopRunAppearanceInPlatformOrderAndTheRootStays)
{
    ShownStack s;
    auto* second = new RecordingScreen("second", &s.log);
    s.stack->push(second, true);
    EXPECT_EQ(s.log, (QStringList{"second.load", "root.willDisappear", "second.willAppear", "root.didDisappear",
                                  "second.didAppear"}));
    EXPECT_EQ(s.stack->topScreen(), second);

    s.log.clear();
    QPointer<ui::Screen> popped = s.stack->pop(true);
    EXPECT_EQ(popped.data(), second);
    EXPECT_EQ(s.log, (QStringList{"second.willDisappear", "root.willAppear", "second.didDisappear", "root.didAppear"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(popped.isNull()) << "a popped screen is released";

    s.log.clear();
    EXPECT_EQ(s.stack->pop(), nullptr) << "nothing pops at the root";
    s.stack->popToRoot();
    EXPECT_EQ(s.stack->count(), 1);
    EXPECT_TRUE(s.log.isEmpty());
}

TEST(NavigationStack, PopToRootAndReplaceTopOnlyTouchTheScreensShown)
{
    ShownStack s;
    s.stack->push(new RecordingScreen("a", &s.log), false);
    s.stack->push(new RecordingScreen("b", &s.log), false);
    s.log.clear();
    s.stack->popToRoot(false);
    EXPECT_EQ(s.log, (QStringList{"b.willDisappear", "root.willAppear", "b.didDisappear", "root.didAppear"}));
    EXPECT_EQ(s.stack->count(), 1);

    // Back to a screen in the middle: only the top one and that one are touched.
    auto* a = new RecordingScreen("a2", &s.log);
    s.stack->push(a, false);
    s.stack->push(new RecordingScreen("b2", &s.log), false);
    s.stack->push(new RecordingScreen("c2", &s.log), false);
    EXPECT_EQ(s.stack->screenBelow(a), s.stack->rootScreen());
    EXPECT_EQ(s.stack->screenBelow(s.stack->rootScreen()), nullptr);
    s.log.clear();
    s.stack->popToScreen(a, false);
    EXPECT_EQ(s.log, (QStringList{"c2.willDisappear", "a2.willAppear", "c2.didDisappear", "a2.didAppear"}));
    EXPECT_EQ(s.stack->screens(), (QList<ui::Screen*>{s.stack->rootScreen(), a}));
    RecordingScreen elsewhere("elsewhere", &s.log);
    s.stack->popToScreen(&elsewhere, false);
    EXPECT_EQ(s.stack->count(), 2) << "a screen not on the stack pops nothing";
    s.stack->popToRoot(false);

    s.stack->push(new RecordingScreen("c", &s.log), false);
    s.log.clear();
    auto* d = new RecordingScreen("d", &s.log);
    s.stack->replaceTop(d, false);
    EXPECT_EQ(s.log, (QStringList{"d.load", "c.willDisappear", "d.willAppear", "c.didDisappear", "d.didAppear"}));
    EXPECT_EQ(s.stack->count(), 2);
    EXPECT_EQ(s.stack->screens(), (QList<ui::Screen*>{s.stack->rootScreen(), d}));
}

TEST(NavigationStack, BarShowsTopItemsAndBackButtonPops)
{
    ShownStack s;
    s.stack->rootScreen()->setTitle("根");
    EXPECT_EQ(s.stack->navigationBar()->titleLabel()->text(), "根");
    EXPECT_FALSE(s.stack->navigationBar()->leftButton()->isVisibleTo(s.stack));

    auto* second = new RecordingScreen("second", &s.log);
    int rightTaps = 0;
    second->setTitle("第二");
    second->setRightBarButtonItem(ui::BarButtonItem{"忘记密码", {}, [&] { ++rightTaps; }});
    s.stack->push(second, false);
    auto* bar = s.stack->navigationBar();
    EXPECT_EQ(bar->titleLabel()->text(), "第二");
    EXPECT_EQ(bar->leftButton()->text(), "返回");
    bar->rightButton()->click();
    EXPECT_EQ(rightTaps, 1);
    second->setRightBarButtonItem(std::nullopt);
    EXPECT_FALSE(bar->rightButton()->isVisibleTo(s.stack));

    bar->leftButton()->click();
    EXPECT_EQ(s.stack->count(), 1);
    EXPECT_EQ(bar->titleLabel()->text(), "根");
}

TEST(TabContainer, SwitchesScreensAndIgnoresIndexesOutOfRange)
{
    QStringList log;
    ui::Canvas canvas;
    auto* tabs = new ui::TabContainer;
    tabs->setScreens({new RecordingScreen("t0", &log), new RecordingScreen("t1", &log)});
    canvas.setRootScreen(tabs);
    canvas.show();
    EXPECT_EQ(log, (QStringList{"t0.load", "t0.willAppear", "t0.didAppear"}));
    log.clear();

    EXPECT_FALSE(tabs->setSelectedIndex(2));
    EXPECT_FALSE(tabs->setSelectedIndex(-1));
    EXPECT_EQ(tabs->selectedIndex(), 0);
    EXPECT_TRUE(log.isEmpty());

    EXPECT_TRUE(tabs->setSelectedIndex(1));
    EXPECT_EQ(log, (QStringList{"t1.load", "t0.willDisappear", "t1.willAppear", "t0.didDisappear", "t1.didAppear"}));
    EXPECT_EQ(tabs->selectedScreen(), tabs->screenAt(1));
}

TEST(TabContainer, ForwardsAppearanceThroughNestedStacks)
{
    QStringList log;
    ui::Canvas canvas;
    auto* tabs = new ui::TabContainer;
    auto* stackA = new NavigationStack(new RecordingScreen("a", &log));
    auto* stackB = new NavigationStack(new RecordingScreen("b", &log));
    tabs->setScreens({stackA, stackB});
    canvas.setRootScreen(tabs);
    canvas.show();
    tabs->setSelectedIndex(1);
    stackA->push(new RecordingScreen("a2", &log), false);
    EXPECT_FALSE(stackA->topScreen()->isViewLoaded()) << "a push on a hidden tab runs no appearance";
    log.clear();
    tabs->setSelectedIndex(0);
    EXPECT_EQ(log, (QStringList{"b.willDisappear", "a2.load", "a2.willAppear", "b.didDisappear", "a2.didAppear"}));
}
