#include "albums/widgets/UILabelEx.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {
struct RecordingDelegate : UILabelExDelegate {
    QList<int> tags;
    void labelEx(UILabelEx*, int tag) override { tags.append(tag); }
};
}

TEST(UILabelEx, PressTintsAndOnlyAReleaseInsideReports)
{
    RecordingDelegate delegate;
    UILabelEx label(QRect(0, 0, 200, 30), 1.0);
    label.setText("link");
    label.setTag(7);
    label.setDelegate(&delegate);
    label.show();

    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(label.textColor(), QColor(59, 136, 195));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(label.textColor(), label.defaultColor());
    EXPECT_EQ(delegate.tags, QList<int>{7});

    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(250, 10));
    EXPECT_EQ(label.textColor(), label.defaultColor());
    EXPECT_EQ(delegate.tags.size(), 1);
}

TEST(UILabelEx, LongTextIsCutAndTheUnderlineEndsWithTheShownText)
{
    UILabelEx label(QRect(0, 0, 60, 30), 2.0);
    label.setText("a rather long piece of text that cannot fit");
    EXPECT_TRUE(label.shownText().endsWith(QChar(0x2026)));
    EXPECT_LE(label.underline().x2(), 60.0);
    EXPECT_GT(label.underline().x2(), 0.0);
    EXPECT_GT(label.underline().y1(), 15.0);
}

// The default font is the one a new label shows; a default font set later
// is only kept, and the shown font changes through the label's own font.
TEST(UILabelEx, ALaterDefaultFontIsKeptButTheShownFontStays)
{
    UILabelEx label(QRect(0, 0, 300, 40), 1.0);
    EXPECT_EQ(label.font().pixelSize(), 15);
    EXPECT_EQ(label.defaultFont().pixelSize(), 15);
    label.setText("link");
    const qreal before = label.underline().x2();
    QFont big = label.defaultFont();
    big.setPixelSize(30);
    label.setDefaultFont(big);
    EXPECT_EQ(label.defaultFont().pixelSize(), 30);
    EXPECT_EQ(label.font().pixelSize(), 15);
    EXPECT_DOUBLE_EQ(label.underline().x2(), before);

    label.setFont(big);
    EXPECT_GT(label.underline().x2(), before * 1.5);
}
