#include "albums/widgets/ImageLoadPool.h"
#include "albums/widgets/PavAlbumTableHeaderView_iPad.h"
#include "albums/widgets/PavDoubleSlider.h"
#include "albums/widgets/PavSecretPhotoCell_iPad.h"
#include "albums/widgets/PavSecretPhotoView_iPad.h"
#include "albums/widgets/PavSystemAssetView_iPad.h"
#include "albums/widgets/PavSystemAssetsCell_iPad.h"
#include "albums/widgets/PavSystemVideoCell_iPad.h"
#include "albums/widgets/PavSystemVideoView_iPad.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/ShadowLabel.h"
#include "support/EventLoop.h"
#include "support/FakePhotoAsset.h"

#include <QCoreApplication>
#include <QImage>
#include <QSemaphore>
#include <QThread>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace {

class HeaderDelegate : public QObject, public PavAlbumTableHeaderViewDelegate {
public:
    bool enabled = true;
    QList<bool> clicks;
    bool isAlbumTableHeaderViewEnable() override { return enabled; }
    void albumTableHeaderView(PavAlbumTableHeaderView_iPad*, bool checked) override { clicks << checked; }
};

class TileDelegate : public QObject, public PavSystemAssetViewDelegate {
public:
    bool editing = false;
    QStringList log;
    bool editStateOfSystemAssetViewDelegate() override { return editing; }
    void systemAssetViewDidSelect(const ALAssetPtr& a) override { log << "open " + a->type(); }
    void systemAssetViewSelected(const ALAssetPtr& a) override
    {
        log << QString("selected %1 %2").arg(a->type()).arg(a->isChecked());
    }
};

// Answers only the required message.
class BareTileDelegate : public QObject, public PavSystemAssetViewDelegate {
public:
    bool editStateOfSystemAssetViewDelegate() override { return false; }
};

class SecretDelegate : public QObject, public PavSecretPhotoViewDelegate {
public:
    bool editing = false;
    bool isEditInSecretPhotoView() override { return editing; }
};

class SliderDelegate : public QObject, public PavDoubleSliderDelegate {
public:
    QList<int> changes;
    void valueChangedInSlider(PavDoubleSlider* s) override { changes << s->sliderType(); }
};

ALAssetPtr asset(PhotoAssetKind kind)
{
    auto a = std::make_shared<ALAsset>(FakePhotoAsset::make("assets-library://asset/asset.JPG?id=A&ext=JPG", "x", kind));
    a->setType(ALAsset::typeOf(kind));
    return a;
}

PavPhotoModelPtr model(const QString& path)
{
    auto m = std::make_shared<PavPhotoModel>();
    m->setPhotoPath(path);
    return m;
}

}

TEST(AlbumTableHeaderView, EditingShowsCheckAllAndCount)
{
    HeaderDelegate d;
    PavAlbumTableHeaderView_iPad header(QRect(0, 0, 615, 45), false);
    header.setDelegate(&d);
    header.setPhotoCount(7);
    EXPECT_TRUE(header.checkAllButton()->isHidden());
    EXPECT_TRUE(header.photoCountLabel()->isHidden());
    header.setIsEditing(true);
    EXPECT_FALSE(header.checkAllButton()->isHidden());
    EXPECT_EQ(header.photoCountLabel()->text(), "7张照片");

    header.checkAllButton()->click();
    EXPECT_EQ(d.clicks, QList<bool>{true});
    EXPECT_TRUE(header.checkAllButton()->isSelected());
    d.enabled = false;
    header.checkAllButton()->click();  // only the look flips
    EXPECT_EQ(d.clicks, QList<bool>{true});
    EXPECT_FALSE(header.checkAllButton()->isSelected());
}

namespace {
// Dark pixels in each column of `widget` as drawn on white, from its first
// inked column on.
std::vector<int> inkColumns(QWidget* widget)
{
    QImage shot(widget->size(), QImage::Format_ARGB32);
    shot.fill(Qt::white);
    widget->render(&shot);
    std::vector<int> columns;
    for (int x = 0; x < shot.width(); ++x) {
        int ink = 0;
        for (int y = 0; y < shot.height(); ++y)
            ink += qGray(shot.pixel(x, y)) < 128 ? 1 : 0;
        if (ink > 0 || !columns.empty())
            columns.push_back(ink);
    }
    return columns;
}
}

// A day of more photos than the count label has room for: the count is cut
// at its end, never at its start, so no leading digit goes missing (16036
// must not read as 6036).
TEST(AlbumTableHeaderView, ACountTooLongForItsLabelLosesItsEndNotItsFirstDigits)
{
    PavAlbumTableHeaderView_iPad header(QRect(0, 0, 615, 45), true);
    header.setPhotoCount(16036);
    QLabel* label = header.photoCountLabel();
    EXPECT_EQ(label->text(), "16036张照片");
    ASSERT_GT(label->fontMetrics().horizontalAdvance(label->text()), label->width());

    // What a label wide enough draws first: "160".
    QLabel whole(label->text());
    whole.setFont(label->font());
    whole.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    whole.resize(400, label->height());
    const std::vector<int> expected = inkColumns(&whole);
    const std::vector<int> drawn = inkColumns(label);
    const int span = whole.fontMetrics().horizontalAdvance(QStringLiteral("160"));
    ASSERT_GE(int(drawn.size()), span);
    int differing = 0;
    int inked = 0;
    for (int x = 0; x < span; ++x) {
        differing += std::abs(drawn[size_t(x)] - expected[size_t(x)]);
        inked += expected[size_t(x)];
    }
    EXPECT_LT(differing, inked / 4) << "the count as drawn does not start with 160";
}

TEST(SystemAssetView, EditTapsFlipPhotosAndNotify)
{
    TileDelegate d;
    d.editing = true;
    PavSystemAssetView_iPad photo(QPoint(), asset(PhotoAssetKind::Photo), &d);
    ASSERT_NE(photo.selectedView(), nullptr);
    EXPECT_FALSE(photo.selectedView()->isHidden());  // made while editing: mark at once
    photo.click();
    EXPECT_EQ(d.log, QStringList{"selected ALAssetTypePhoto 1"});

    PavSystemAssetView_iPad video(QPoint(), asset(PhotoAssetKind::Video), &d);
    EXPECT_EQ(video.selectedView(), nullptr);
    video.click();
    EXPECT_EQ(d.log.last(), "selected ALAssetTypeVideo 0");

    d.editing = false;
    photo.click();
    EXPECT_EQ(d.log.last(), "open ALAssetTypePhoto");
    EXPECT_TRUE(photo.asset()->isChecked());  // outside edit mode nothing flips

    // Marking from outside (a day's check-all) changes photos only.
    PavSystemAssetView_iPad offVideo(QPoint(), asset(PhotoAssetKind::Video), &d);
    offVideo.setSelectedAnimated(true);
    EXPECT_FALSE(offVideo.asset()->isChecked());
    offVideo.asset()->setIsChecked(true);
    offVideo.setDeselectedAnimated(true);
    EXPECT_TRUE(offVideo.asset()->isChecked());
    photo.setDeselectedAnimated(true);
    EXPECT_FALSE(photo.asset()->isChecked());

    BareTileDelegate bare;
    PavSystemAssetView_iPad quiet(QPoint(), asset(PhotoAssetKind::Photo), &bare);
    quiet.click();  // nothing to tell, nothing fails
    ImageLoadPool::shared().waitForDone();
}

TEST(SystemAssetRows, ReuseReleasesOldTiles)
{
    TileDelegate d;
    PavSystemAssetsCell_iPad row;
    QList<QWidget*> tiles;
    for (int i = 0; i < 5; ++i)
        tiles << new PavSystemAssetView_iPad(QPoint(), asset(PhotoAssetKind::Photo), &d);
    row.updateAssetViews(tiles, false);
    QPointer<QWidget> old = tiles[0];
    QList<QWidget*> fresh{new PavSystemAssetView_iPad(QPoint(), asset(PhotoAssetKind::Photo), &d)};
    row.updateAssetViews(fresh, true);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(row.assetViews().size(), 1);

    PavSystemVideoCell_iPad videos;
    QList<QWidget*> vt;
    for (int i = 0; i < 4; ++i)
        vt << new PavSystemVideoView_iPad(QPoint(), asset(PhotoAssetKind::Video), &d);
    videos.updateVideoViews(vt, true);
    EXPECT_EQ(videos.videoViews().size(), 4);
    static_cast<PavSystemVideoView_iPad*>(vt[1])->click();
    EXPECT_EQ(d.log, QStringList{"open ALAssetTypeVideo"});
    ImageLoadPool::shared().waitForDone();
}

// A row made with its tiles holds them as its own, side by side; every row
// carries the reuse identifier of its kind.
TEST(SystemAssetRows, RowsMadeWithTheirTilesHoldAndPlaceThem)
{
    TileDelegate d;
    QList<QWidget*> photos;
    for (int i = 0; i < 3; ++i)
        photos << new PavSystemAssetView_iPad(QPoint(), asset(PhotoAssetKind::Photo), &d);
    PavSystemAssetsCell_iPad row(QStringLiteral("PavSystemAlbumTableViewPhotoCell"), photos);
    EXPECT_EQ(row.reuseIdentifier(), "PavSystemAlbumTableViewPhotoCell");
    EXPECT_EQ(row.assetViews(), photos);
    EXPECT_FALSE(row.isTop());
    EXPECT_EQ(photos[2]->parentWidget(), &row);
    EXPECT_EQ(photos[2]->geometry(), QRect(250, 0, 118, 118));

    QList<QWidget*> clips;
    for (int i = 0; i < 2; ++i)
        clips << new PavSystemVideoView_iPad(QPoint(), asset(PhotoAssetKind::Video), &d);
    PavSystemVideoCell_iPad videos(QStringLiteral("PavSystemAlbumTableViewVideoCell"), clips);
    EXPECT_EQ(videos.reuseIdentifier(), "PavSystemAlbumTableViewVideoCell");
    EXPECT_EQ(videos.videoViews(), clips);
    EXPECT_EQ(clips[1]->parentWidget(), &videos);
    EXPECT_EQ(clips[1]->geometry(), QRect(160, 0, 148, 118));
    videos.updateVideoViews(clips, true);
    EXPECT_EQ(clips[0]->geometry(), QRect(8, 8, 148, 118));

    EXPECT_EQ(PavSystemAssetsCell_iPad().reuseIdentifier(), "PavSystemAlbumTableViewPhotoCell");
    EXPECT_EQ(PavSystemVideoCell_iPad().reuseIdentifier(), "PavSystemAlbumTableViewVideoCell");
    ImageLoadPool::shared().waitForDone();
}

TEST(SystemVideoView, ThePosterSitsInsideTheFilmFrameWithoutCoveringItsMarks)
{
    PavSystemVideoView_iPad tile(QPoint(), nullptr, nullptr);
    QPixmap poster(200, 100);
    poster.fill(Qt::green);
    tile.thumbnailView()->setImage(poster);
    const QImage shown = tile.grab().toImage();
    ASSERT_EQ(shown.size(), QSize(148, 118));
    // Sprocket holes down both side margins stay in view, where a frame drawn
    // for a square tile and stretched would not put them.
    for (const QPoint hole : {QPoint(12, 10), QPoint(136, 10), QPoint(12, 108), QPoint(136, 108)})
        EXPECT_GT(qGray(shown.pixel(hole)), 200) << hole.x() << "," << hole.y();
    // The poster, fitted into (24, 8, 101, 101): 101 x 50, centred.
    EXPECT_EQ(QColor(shown.pixel(74, 58)), QColor(Qt::green));
    EXPECT_EQ(QColor(shown.pixel(26, 58)), QColor(Qt::green));
    EXPECT_NE(QColor(shown.pixel(74, 20)), QColor(Qt::green));
    EXPECT_NE(QColor(shown.pixel(20, 58)), QColor(Qt::green));
}

TEST(SecretPhotoView, FailedThumbnailsAndReusedTiles)
{
    QSemaphore slowStarted;
    QSemaphore slowMayEnd;
    PavSecretPhotoView_iPad::setThumbnailReader([&](const PavPhotoModel& p) -> QImage {
        if (p.photoPath() == "missing")
            return {};
        if (p.photoPath() == "slow") {
            slowStarted.release();
            slowMayEnd.acquire();
        }
        QImage img(10, 10, QImage::Format_RGB32);
        img.fill(p.photoPath() == "slow" ? Qt::red : Qt::green);
        return img;
    });
    SecretDelegate d;
    PavSecretPhotoView_iPad failed(QPoint(), model("missing"), &d);
    EXPECT_EQ(failed.placeholderName(), "PavAlbum_LoadingPhoto_iPad.png");
    ASSERT_TRUE(waitUntil([&] { return failed.placeholderName() == "PavAlbum_LoadPhotoFailed_iPad.png"; }));

    // A tile reused for another photo before its first thumbnail is ready
    // never shows the first one.
    PavSecretPhotoView_iPad tile(QPoint(), model("slow"), &d);
    ASSERT_TRUE(waitUntil([&] { return slowStarted.available() > 0; }));
    tile.setPhoto(model("fast"));
    ASSERT_TRUE(waitUntil([&] { return tile.placeholderName().isEmpty(); }));   // the second photo is shown
    slowMayEnd.release();   // the first photo's answer now comes last
    ImageLoadPool::shared().waitForDone();
    QCoreApplication::sendPostedEvents();
    ASSERT_FALSE(tile.photoImageView()->image().isNull());
    EXPECT_EQ(tile.photoImageView()->image().toImage().pixel(5, 5), QColor(Qt::green).rgb());

    d.editing = true;
    tile.click();
    EXPECT_TRUE(tile.photo()->isChecked());
    PavSecretPhotoCell_iPad row;
    QList<QWidget*> tiles{new PavSecretPhotoView_iPad(QPoint(), model("a"), &d),
                          new PavSecretPhotoView_iPad(QPoint(), model("b"), &d),
                          new PavSecretPhotoView_iPad(QPoint(), model("c"), &d)};
    EXPECT_FALSE(static_cast<PavSecretPhotoView_iPad*>(tiles[0])->selectedView()->isHidden());
    row.updatePhotoViews(tiles, true);
    ImageLoadPool::shared().waitForDone();
    QCoreApplication::sendPostedEvents();
    PavSecretPhotoView_iPad::setThumbnailReader({});
}

TEST(DoubleSlider, TapsDragsAndTheLockout)
{
    ui::Animations::setEnabled(false);
    SliderDelegate d;
    PavDoubleSlider slider(QRect(0, 0, 110, 50), "照片", "视频");
    EXPECT_EQ(slider.leftLabel()->text(), "照片");
    EXPECT_EQ(slider.rightLabel()->text(), "视频");
    slider.setDelegate(&d);
    slider.setSliderType(1, false);
    slider.setSliderType(0, true);
    spinEvents(20);
    EXPECT_TRUE(d.changes.isEmpty());  // setting the type never tells

    slider.releaseDrag(36.6);
    EXPECT_EQ(slider.sliderType(), 0);
    EXPECT_DOUBLE_EQ(slider.offset(), 0);
    slider.releaseDrag(36.7);
    EXPECT_EQ(slider.sliderType(), 1);
    EXPECT_TRUE(d.changes.isEmpty());  // told only after the lockout
    slider.singleTapGestureCaptured();                      // ignored inside the lockout
    ASSERT_TRUE(waitUntil([&] { return !d.changes.isEmpty(); }));
    EXPECT_EQ(d.changes, QList<int>{1});
    EXPECT_EQ(slider.sliderType(), 1);

    slider.releaseDrag(40);  // from the right, still past a third: no change
    spinEvents(350);
    EXPECT_EQ(d.changes, QList<int>{1});
    slider.singleTapGestureCaptured();
    ASSERT_TRUE(waitUntil([&] { return d.changes.size() == 2; }));
    EXPECT_EQ(d.changes.last(), 0);
    ui::Animations::setEnabled(true);
}

namespace {

// The one pool behind the grids and the browsers: a job for a receiver that
// went away before its turn is never read, and a stopped pool takes nothing.
TEST(ImageLoadPoolTest, DropsJobsOfGoneReceiversAndRefusesWorkOnceStopped)
{
    ImageLoadPool pool(1, "TestImages");
    QSemaphore gate;
    std::atomic<int> reads{0};
    QObject kept;
    auto goneSoon = std::make_unique<QObject>();
    QStringList applied;
    const ImageJob read = [&reads] {
        ++reads;
        return QImage(4, 4, QImage::Format_RGB32);
    };
    pool.run([&gate] { gate.acquire(); });   // holds the only worker
    pool.load(goneSoon.get(), read, {}, [&applied](const QImage&) { applied << "gone"; });
    pool.load(&kept, read, [] { return false; }, [&applied](const QImage&) { applied << "unwanted"; });
    pool.load(&kept, read, {}, [&applied](const QImage&) { applied << "kept"; });
    goneSoon.reset();
    gate.release();
    pool.waitForDone();
    ASSERT_TRUE(waitUntil([&applied] { return !applied.isEmpty(); }));
    spinEvents(20);
    EXPECT_EQ(applied, QStringList{"kept"});
    EXPECT_EQ(reads.load(), 1);

    pool.stop();
    pool.load(&kept, read, {}, [&applied](const QImage&) { applied << "after stop"; });
    pool.waitForDone();
    spinEvents(20);
    EXPECT_EQ(reads.load(), 1);
    EXPECT_EQ(applied, QStringList{"kept"});
}

}
