#include "platform/ui/ImageView.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

// Pixels of the view's drawing that are not its black background.
int litPixels(ui::ImageView& view)
{
    const QImage shot = view.grab().toImage();
    int lit = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            lit += (shot.pixel(x, y) & RGB_MASK) != 0;
    return lit;
}

TEST(ImageView, APictureOnePixelThinIsDrawnAsALineWhenFittedToTheView)
{
    // 1 x 2000 in 1024 x 768 fits as 0.38 x 768 and 3000 x 1 as 1024 x 0.34:
    // both used to round to an empty rectangle, so the browsers showed black.
    struct Case {
        QSize picture;
        int least;  // pixels of the line at the least
    };
    for (const Case& c : {Case{QSize(1, 2000), 768}, Case{QSize(3000, 1), 1024}, Case{QSize(2, 4000), 768}}) {
        SCOPED_TRACE(testing::Message() << c.picture.width() << " x " << c.picture.height());
        QImage picture(c.picture, QImage::Format_RGB32);
        picture.fill(Qt::red);
        ui::ImageView view;
        view.setMode(ui::ImageView::Mode::AspectFit);
        view.setBackgroundColor(Qt::black);
        view.resize(1024, 768);
        view.setImage(QPixmap::fromImage(picture));
        EXPECT_GE(litPixels(view), c.least);
    }
}

}
