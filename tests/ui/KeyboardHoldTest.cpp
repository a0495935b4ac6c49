#include "platform/ui/ActionSheet.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ModalHost.h"
#include "support/EventLoop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// A screen with a text field that writes down every key that reaches the
// screen itself (the way the browsers and the lock screen take theirs).
class KeyScreen : public ui::Screen {
public:
    explicit KeyScreen(int fields = 1)
    {
        for (int i = 0; i < fields; ++i) {
            auto* field = new QLineEdit(this);
            field->setGeometry(100, 100 + 50 * i, 300, 40);
            this->fields.append(field);
        }
    }
    QList<QLineEdit*> fields;
    QStringList keys;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        keys << QKeySequence(event->key()).toString();
        event->accept();
    }
};

struct AlertLog : ui::AlertDelegate, ui::ActionSheetDelegate {
    QStringList calls;
    void alertViewDidDismissWithButtonIndex(ui::Alert*, int i) override { calls << QString("alert %1").arg(i); }
    void actionSheetDidDismissWithButtonIndex(ui::ActionSheet*, int i) override { calls << QString("sheet %1").arg(i); }
};

// Every key a user might press at a modal, Escape aside.
const QList<Qt::Key> kKeys{Qt::Key_Left,   Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Return, Qt::Key_Enter,
                           Qt::Key_Tab,    Qt::Key_Backtab, Qt::Key_Space, Qt::Key_Backspace, Qt::Key_A, Qt::Key_7};

class KeyboardHoldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ui::Animations::setEnabled(false);
        canvas.setRootScreen(root = new KeyScreen);
        canvas.show();
        canvas.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&canvas));
        field()->setFocus();
        type("ab");
        ASSERT_EQ(field()->text(), "ab");
    }
    void TearDown() override
    {
        while (ui::ChoiceDialog* d = ui::ChoiceDialog::topShowing())
            d->dismissWithClickedButtonIndex(d->cancelButtonIndex(), false);
        spinEvents(0);
        ui::Animations::setEnabled(true);
    }
    QLineEdit* field() const { return root->fields.first(); }
    void type(const QString& text)
    {
        for (QChar c : text)
            QTest::keyClick(canvas.windowHandle(), c.toLatin1());
    }
    void pressAll()
    {
        for (Qt::Key key : kKeys)
            QTest::keyClick(canvas.windowHandle(), key);
        QTest::keyClick(canvas.windowHandle(), Qt::Key_Tab, Qt::ShiftModifier);
        QTest::keyClick(canvas.windowHandle(), Qt::Key_A, Qt::ControlModifier);
    }

    ui::Canvas canvas;
    KeyScreen* root = nullptr;
    AlertLog log;
};

}

TEST_F(KeyboardHoldTest, AnAlertTakesTheKeysOfItsWindowAndEscapeAnswersItsCancelButton)
{
    QPointer<ui::Alert> alert = new ui::Alert("", "确定要删除照片？", &log, "取消", {"删除"});
    alert->show();
    pressAll();
    // Keys aimed straight at the field behind are dropped too.
    QTest::keyClicks(field(), "zz");
    EXPECT_EQ(field()->text(), "ab");
    EXPECT_EQ(root->keys, QStringList());
    EXPECT_TRUE(log.calls.isEmpty());
    ASSERT_TRUE(alert && alert->isShowing());

    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(log.calls, QStringList{"alert 0"});
    // The keyboard goes back to the field that had it.
    EXPECT_EQ(QApplication::focusWidget(), field());
    type("c");
    EXPECT_EQ(field()->text(), "abc");

    // Without a cancel button Escape answers nothing; the alert waits.
    alert = new ui::Alert("", "照片已成功移动到Pad相册。", &log, "", {"确定", "不再提示"});
    alert->show();
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);
    pressAll();
    EXPECT_TRUE(alert && alert->isShowing());
    EXPECT_EQ(log.calls, QStringList{"alert 0"});
    EXPECT_EQ(field()->text(), "abc");
    alert->clickButtonAtIndex(0);
    EXPECT_EQ(root->keys, QStringList());
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);  // the screen's own again
    EXPECT_EQ(root->keys, QStringList{"Esc"});
}

TEST_F(KeyboardHoldTest, KeysPressedBetweenAnAlertAndTheOneWaitingBehindItReachNothing)
{
    QPointer<ui::Alert> first = new ui::Alert("", "确定要删除照片？", &log, "取消", {"删除"});
    QPointer<ui::Alert> second = new ui::Alert("", "操作失败，请稍候重试。", &log, "确定");
    first->show();
    second->show();
    ASSERT_TRUE(second->isWaiting());
    // Two fast Escapes and a few keys come in one batch of the window
    // system's events, delivered before the event loop turns again: the
    // second alert is not up yet when they arrive.
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Escape, Qt::Key_Z, Qt::Key_Left, Qt::Key_Escape})
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &canvas, key);
    EXPECT_EQ(log.calls, QStringList{"alert 0"});
    EXPECT_EQ(root->keys, QStringList());
    EXPECT_EQ(field()->text(), "ab");
    // A tap in the gap lands on no widget behind either.
    const QPoint onField = field()->geometry().center();
    EXPECT_NE(canvas.childAt(root->mapTo(&canvas, onField)), field());

    spinEvents(0);
    ASSERT_TRUE(second && second->isShowing());
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(log.calls, (QStringList{"alert 0", "alert 0"}));
    spinEvents(0);
    // The field that had the keyboard before the first alert has it again.
    EXPECT_EQ(QApplication::focusWidget(), field());
    type("c");
    EXPECT_EQ(field()->text(), "abc");
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(root->keys, QStringList{"Esc"});

    // A waiting alert deleted in the gap leaves nothing holding the keys.
    first = new ui::Alert("", "确定要删除照片？", &log, "取消", {"删除"});
    second = new ui::Alert("", "操作失败，请稍候重试。", &log, "确定");
    first->show();
    second->show();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    delete second.data();
    spinEvents(0);
    EXPECT_EQ(canvas.childAt(root->mapTo(&canvas, onField)), field());
    type("d");
    EXPECT_EQ(field()->text(), "abcd");
}

TEST_F(KeyboardHoldTest, AnActionSheetTakesTheKeysAndEscapeAnswersItsCancelIndex)
{
    auto* sheet = new ui::ActionSheet("", &log, "", "删除", {"移出"});
    sheet->showFromRect(QRect(900, 0, 50, 50), root);
    pressAll();
    EXPECT_EQ(field()->text(), "ab");
    EXPECT_EQ(root->keys, QStringList());
    EXPECT_TRUE(log.calls.isEmpty());
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(log.calls, QStringList{"sheet -1"});  // as a tap outside
    type("c");
    EXPECT_EQ(field()->text(), "abc");
}

TEST_F(KeyboardHoldTest, ASheetKeepsTheKeysAmongItsOwnFieldsAndAnAlertAboveItTakesThemAll)
{
    auto* form = new KeyScreen(2);
    root->presentSheet(form, ui::kFormSheetSize, false);
    form->fields[0]->setFocus();
    type("x");
    EXPECT_EQ(form->fields[0]->text(), "x");
    // Tab and Shift+Tab go round the sheet's own fields, never behind it.
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->fields[1]);
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), form->fields[0]);
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), form->fields[1]);
    type("y");
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);  // the sheet's own screen has it
    EXPECT_EQ(form->fields[1]->text(), "y");
    EXPECT_EQ(form->keys, QStringList{"Esc"});
    EXPECT_EQ(root->keys, QStringList());
    EXPECT_EQ(field()->text(), "ab");

    // An alert over the sheet: its fields get nothing until it is answered.
    auto* alert = new ui::Alert("", "密码错误！再试一次？", &log, "找回密码", {"再试一次"});
    alert->show();
    pressAll();
    QTest::keyClicks(form->fields[1], "zz");
    EXPECT_EQ(form->fields[1]->text(), "y");
    EXPECT_EQ(form->fields[0]->text(), "x");
    EXPECT_EQ(form->keys, QStringList{"Esc"});
    QTest::keyClick(canvas.windowHandle(), Qt::Key_Escape);
    EXPECT_EQ(log.calls, QStringList{"alert 0"});
    EXPECT_EQ(QApplication::focusWidget(), form->fields[1]);
    type("w");
    EXPECT_EQ(form->fields[1]->text(), "yw");

    // With the sheet gone the field beneath has the keyboard again.
    root->dismissModal(false);
    EXPECT_EQ(QApplication::focusWidget(), field());
    type("c");
    EXPECT_EQ(field()->text(), "abc");
}

TEST(ModalHost, WithNoCanvasTheScreenHandedOverIsDeleted)
{
    ASSERT_EQ(ui::Canvas::current(), nullptr);
    QPointer<ui::Screen> content = new ui::Screen;
    EXPECT_EQ(ui::ModalHost::present(nullptr, content, ui::ModalHost::Style::Sheet, ui::kFormSheetSize, false), nullptr);
    spinEvents(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(content.isNull());
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}
