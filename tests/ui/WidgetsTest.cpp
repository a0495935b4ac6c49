#include "platform/ui/Animations.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/Images.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

TEST(Images, SuffixIsOptionalAndUnknownNamesDrawNothing)
{
    EXPECT_EQ(ui::Images::named("PavAlbum_SelectedPoint_iPad").size(), QSize(11, 22));
    EXPECT_EQ(ui::Images::named("PavAlbum_SelectedPoint_iPad.png").cacheKey(),
              ui::Images::named("PavAlbum_SelectedPoint_iPad").cacheKey());
    EXPECT_TRUE(ui::Images::named("NoSuchImage_iPad.png").isNull());

}

TEST(Images, ARegisteredDrawingPaintsOnATransparentCanvasAndAReplacementWins)
{
    ui::Images::registerDrawing("TestDot", {4, 2}, [](QPainter& p, const QSize&) { p.fillRect(0, 0, 2, 2, Qt::red); });
    QImage drawn = ui::Images::named("TestDot.png").toImage();
    ASSERT_EQ(drawn.size(), QSize(4, 2));
    EXPECT_EQ(drawn.pixelColor(1, 1), QColor(Qt::red));
    EXPECT_EQ(drawn.pixelColor(3, 1).alpha(), 0) << "outside the drawing the canvas stays transparent";

    ui::Images::registerDrawing("TestDot.png", {4, 2}, [](QPainter& p, const QSize& size) {
        p.fillRect(QRect(QPoint(), size), Qt::blue);
    });
    drawn = ui::Images::named("TestDot").toImage();
    EXPECT_EQ(drawn.pixelColor(0, 0), QColor(Qt::blue)) << "the cached image of the old drawing is not kept";
    EXPECT_EQ(drawn.pixelColor(3, 1), QColor(Qt::blue));
}

TEST(ImageButton, StatesFallBackToNormal)
{
    ui::ImageButton b;
    QPixmap normal(2, 2), selected(3, 3);
    b.setImage(normal, ui::ImageButton::Normal);
    b.setImage(selected, ui::ImageButton::Selected);
    b.setTitle("取消");
    b.setTitleColor(QColor(51, 51, 51));
    b.setTitleColor(QColor(51, 51, 51, 178), ui::ImageButton::Disabled);

    EXPECT_EQ(b.currentImage().size(), QSize(2, 2));
    b.setSelected(true);
    EXPECT_EQ(b.currentImage().size(), QSize(3, 3));
    b.setDown(true);
    EXPECT_EQ(b.currentState(), unsigned(ui::ImageButton::Selected | ui::ImageButton::Highlighted));
    EXPECT_EQ(b.currentImage().size(), QSize(2, 2)) << "selected+highlighted without its own image uses normal";
    b.setDown(false);
    b.setEnabled(false);
    EXPECT_EQ(b.currentTitleColor().alpha(), 178);
    EXPECT_EQ(b.currentTitle(), "取消");
}

TEST(ImageButton, ClickedFiresOnReleaseInsideOnly)
{
    ui::ImageButton b;
    b.resize(50, 50);
    int clicks = 0;
    QObject::connect(&b, &ui::ImageButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(clicks, 1);
    b.setEnabled(false);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}

TEST(Animations, DisabledAnimationsApplyAtOnce)
{
    ui::Animations::setEnabled(false);
    QWidget w;
    bool done = false;
    ui::Animations::animateGeometry(&w, QRect(217, 325, 11, 22), 300, QEasingCurve::InOutQuad, [&] { done = true; });
    EXPECT_EQ(w.geometry(), QRect(217, 325, 11, 22));
    EXPECT_TRUE(done);
    ui::Animations::setEnabled(true);
}

TEST(Animations, AGeometryAnimationReachesItsTarget)
{
    QWidget w;
    w.setGeometry(0, 0, 10, 10);
    bool done = false;
    ui::Animations::animateGeometry(&w, QRect(0, 95, 11, 22), 300);
    ui::Animations::animateGeometry(&w, QRect(0, 555, 11, 22), 300, QEasingCurve::InOutQuad, [&] { done = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 5000));
    EXPECT_EQ(w.geometry(), QRect(0, 555, 11, 22)) << "the later call wins";
}
