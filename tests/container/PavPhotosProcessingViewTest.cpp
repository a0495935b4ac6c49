#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "support/EventLoop.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

namespace {

struct CancelCounter : PavPhotosProcessingViewDelegate {
    void photosProcessingViewCancelButtonClicked(PavPhotosProcessingView_iPad* view) override
    {
        ++count;
        last = view;
    }
    int count = 0;
    PavPhotosProcessingView_iPad* last = nullptr;
};

// Keys as the window system delivers them: to the window's focus.
void type(QWindow* window, const char* keys)
{
    for (const char* k = keys; *k; ++k)
        QTest::keyClick(window, *k);
}

class ProcessingPanelTest : public ::testing::Test {
protected:
    ProcessingPanelTest()
    {
        root.resize(1024, 768);
        below = new QPushButton("below", &root);
        below->setGeometry(0, 0, 200, 100);
        QObject::connect(below, &QPushButton::clicked, [this] { ++belowClicks; });
        panel = new PavPhotosProcessingView_iPad(root.rect(), 3, "照片正在加密...", &delegate, &root);
        root.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&root));
    }

    QWidget root;
    QPushButton* below;
    int belowClicks = 0;
    CancelCounter delegate;
    PavPhotosProcessingView_iPad* panel;
};

TEST_F(ProcessingPanelTest, ShowsTitleWarningAndCounts)
{
    EXPECT_EQ(panel->titleLabel()->text(), "照片正在加密...");
    bool warning = false;
    for (QLabel* label : panel->box()->findChildren<QLabel*>())
        warning = warning || label->text() == "（请不要退出Olvo）";
    EXPECT_TRUE(warning);
    EXPECT_EQ(panel->completedCount(), 0u);
    EXPECT_EQ(panel->progressView()->width(), 0);

    panel->setProgressMessage(ProcessingProgress::counterText(0, panel->totalCount()));
    EXPECT_EQ(panel->progressLabel()->text(), "(0/3)");
    panel->setCompletedCount(2);
    EXPECT_EQ(panel->progressLabel()->text(), "(2/3)");
    EXPECT_EQ(panel->progressView()->width(), 231);
    panel->setProgress(1.7f);
    EXPECT_EQ(panel->progressView()->width(), 347);
    panel->setProgress(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(panel->progressView()->width(), 0);
}

TEST_F(ProcessingPanelTest, UpdatesFromAWorkerLandOnTheMainThread)
{
    std::thread worker([this] { panel->setCompletedCount(1); });
    worker.join();
    EXPECT_EQ(panel->progressLabel()->text(), "");
    ASSERT_TRUE(waitUntil([this] { return panel->progressLabel()->text() == "(1/3)"; }));
    EXPECT_EQ(panel->progressView()->width(), 116);
}

TEST_F(ProcessingPanelTest, CancelAnswersOnce)
{
    panel->setTag(51);
    ui::ImageButton* cancel = panel->cancelButton();
    EXPECT_EQ(cancel->currentTitle(), "取消");
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(delegate.count, 1);
    EXPECT_EQ(delegate.last, panel);
    EXPECT_EQ(delegate.last->tag(), 51);
    EXPECT_FALSE(cancel->isEnabled());
    EXPECT_TRUE(panel->cancelled());

    panel->cancelButtonClicked();
    QTest::mouseClick(cancel, Qt::LeftButton);
    EXPECT_EQ(delegate.count, 1);
}

TEST_F(ProcessingPanelTest, OwnerCanEndItSilently)
{
    panel->disableCancel();
    EXPECT_TRUE(panel->cancelled());
    EXPECT_FALSE(panel->cancelButton()->isEnabled());
    panel->cancelButtonClicked();
    EXPECT_EQ(delegate.count, 0);
}

TEST_F(ProcessingPanelTest, TheBoxSitsCentredALittleAboveTheMiddle)
{
    EXPECT_EQ(panel->box()->geometry(), QRect(302, 185, 420, 320));   // floor(768 x 0.45) - 160
    panel->resize(800, 601);
    EXPECT_EQ(panel->box()->geometry(), QRect(190, 110, 420, 320));   // floor(270.45) - 160
}

TEST_F(ProcessingPanelTest, ItHoldsTheKeyboardWhileShownAndGivesItBack)
{
    panel->hide();
    auto* field = new QLineEdit(&root);
    field->setGeometry(0, 120, 200, 30);
    field->show();
    root.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&root));
    field->setFocus();
    QWindow* window = root.windowHandle();
    type(window, "12");
    ASSERT_EQ(field->text(), "12");

    panel->show();
    EXPECT_TRUE(panel->hasFocus());
    type(window, "34");
    field->setFocus();   // even a screen that takes the focus back gets no key
    type(window, "56");
    QTest::keyClicks(field, "78");
    EXPECT_EQ(field->text(), "12");

    panel->hide();
    EXPECT_TRUE(field->hasFocus());
    type(window, "9");
    EXPECT_EQ(field->text(), "129");

    // Taken away by deletion, it gives the keyboard back as well.
    panel->show();
    EXPECT_FALSE(field->hasFocus());
    delete panel;
    EXPECT_TRUE(field->hasFocus());
    type(window, "0");
    EXPECT_EQ(field->text(), "1290");
}

TEST_F(ProcessingPanelTest, NothingBeneathCanBeTouched)
{
    QWindow* window = root.windowHandle();
    ASSERT_NE(window, nullptr);
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    spinEvents(20);
    EXPECT_EQ(belowClicks, 0);

    panel->hide();
    QTest::mouseClick(window, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    spinEvents(20);
    EXPECT_EQ(belowClicks, 1);
}

}
