#include "Public/PavProgressView.h"
#include "Public/PavToastView_iPad.h"
#include "platform/ui/Canvas.h"

#include <QTest>

#include <thread>

#include <gtest/gtest.h>

TEST(PavProgressView, CallsFromAWorkerThreadRunOnTheMainThreadInOrder)
{
    ui::Canvas canvas;
    std::thread worker([] {
        PavProgressView::showWithString("加载中...", true);
        PavProgressView::showWithString(QString(), true);
    });
    worker.join();
    ASSERT_TRUE(QTest::qWaitFor([] { return PavProgressView::showing() != nullptr; }, 5000));
    QCoreApplication::processEvents();
    PavProgressView* view = PavProgressView::showing();
    EXPECT_EQ(view->text(), QString());
    EXPECT_TRUE(view->showsIndicator());
    EXPECT_EQ(view->parentWidget(), &canvas);
    EXPECT_EQ(view->geometry(), canvas.rect()) << "it covers its host";

    std::thread([] { PavProgressView::dismiss(); }).join();
    ASSERT_TRUE(QTest::qWaitFor([] { return PavProgressView::showing() == nullptr; }, 5000));
}

TEST(PavProgressView, SuccessGoesAwayByItselfUnlessSomethingElseIsShown)
{
    ui::Canvas canvas;
    QWidget host(&canvas);
    host.setGeometry(100, 100, 300, 200);
    PavProgressView::showWithString("请稍候...", false, &host);
    EXPECT_EQ(PavProgressView::showing()->parentWidget(), &host);

    PavProgressView::showSuccessWithString("照片删除成功!");
    ASSERT_NE(PavProgressView::showing(), nullptr);
    EXPECT_TRUE(PavProgressView::showing()->isSuccess());
    EXPECT_EQ(PavProgressView::showing()->parentWidget(), &host) << "the success state stays where the view was";
    EXPECT_TRUE(QTest::qWaitFor([] { return PavProgressView::showing() == nullptr; }, 5000));

    PavProgressView::showSuccessWithString("完成");
    PavProgressView::showWithString("加载中...");   // replaces the success state before its timeout
    QTest::qWait(PavProgressView::kSuccessDismissMs + 300);
    ASSERT_NE(PavProgressView::showing(), nullptr);
    EXPECT_EQ(PavProgressView::showing()->text(), "加载中...");
    PavProgressView::dismiss();
}

TEST(PavProgressView, AHostThatWentAwayIsIgnored)
{
    ui::Canvas canvas;
    auto* host = new QWidget(&canvas);
    PavProgressView::showWithString("x", false, host);
    delete host;   // the view went with it
    EXPECT_EQ(PavProgressView::showing(), nullptr);
    PavProgressView::dismiss();
    PavProgressView::showSuccessWithString("ok");   // falls back to the canvas
    EXPECT_EQ(PavProgressView::showing()->parentWidget(), &canvas);
    PavProgressView::dismiss();
}

TEST(PavToastView_iPad, ShowsTheMessageThenFadesAway)
{
    ui::Canvas canvas;
    PavToastView_iPad::showSuccessToastViewWithMessage("3张照片加密成功！", 0.05);
    ASSERT_NE(PavToastView_iPad::showing(), nullptr);
    EXPECT_EQ(PavToastView_iPad::showing()->message(), "3张照片加密成功！");
    EXPECT_TRUE(canvas.rect().contains(PavToastView_iPad::showing()->geometry()));
    EXPECT_TRUE(QTest::qWaitFor([] { return PavToastView_iPad::showing() == nullptr; }, 5000));
}
