#pragma once

#include "albums/browser/PhotoPager.h"
#include "albums/widgets/ImageLoadPool.h"
#include "platform/ui/ImageView.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>

namespace ui {
class ScrollView;
}

// The paging and zooming photo view the browsers share: a paging container
// one screen per photo (three recycled screens from four photos on, see
// PhotoPager), a zooming view laid over the shown page that carries its
// large picture, one swipe at a time (the container takes no new swipe from
// the release of one until the page has settled and, when it changed, its
// picture is in), and the double-tap zoom.
//
// A subclass answers the count and the first page from its data source,
// tells its delegate, lays out its own page views and loads the large
// picture of the shown page; it hands the picture back with
// showDetailImage() (or detailFailed()) together with the photo and
// generation it was asked for, and answers for a page no longer shown are
// dropped.
//
// A picture loaded through loadPicture() is decoded at the size shown; a
// zoom past that resolution decodes it again, larger, in the background
// (never beyond the original or the largest full decode), and the sharper
// picture replaces the shown one when it is still the page's.
class PhotoPagerView : public QWidget {
    Q_OBJECT
public:
    explicit PhotoPagerView(const QRect& frame, QWidget* parent = nullptr);
    ~PhotoPagerView() override;

    // (Re)builds everything from the data source.
    void reloadDataSource();
    // Zooms in to the maximum around `pos` (this view's coordinates), or
    // back out when zoomed.
    void doubleClicked(QPoint pos);

    // Shows the photo on the left (right) as a swipe does: the content
    // settles on the next screen, with the same signals and the same lock
    // against a second swipe meanwhile. Nothing happens at the list's end
    // or while a swipe is refused.
    void scrollToLeft() { pageBy(-1); }
    void scrollToRight() { pageBy(1); }

    const PhotoPager& pager() const { return m_pager; }
    int pageCount() const { return m_pager.pageCount(); }
    int selectedIndex() const { return m_pager.selectedIndex(); }
    int screenIndex() const { return m_pager.screenIndex(); }
    qreal screenWidth() const { return m_screenWidth; }
    qreal screenHeight() const { return m_screenHeight; }

    ui::ScrollView* containerScrollView() const { return m_container; }
    ui::ScrollView* detailScrollView() const { return m_detail; }
    // The shown page's large picture (null while it loads).
    ui::ImageView* detailImageView() const { return m_detailImage; }

    // The settling of a swipe on a screen, as the container reports it.
    void containerDidEndDecelerating();

signals:
    // The shown page's large picture was applied (tests and screenshots wait for it).
    void detailImageShown(int photo);
    // Swipes are held off for ms milliseconds from now (a pause after a load).
    void swipesHeld(int ms);

protected:
    virtual int pageCountFromSource() = 0;
    virtual int beginPageFromSource() = 0;
    virtual void notifyDidSelect(int index) = 0;
    virtual void notifyWillBeginDecelerating() {}
    // Removes the page views of the last load.
    virtual void clearPages() {}
    // Lays the page views out for the pager's current window; `move` says
    // how the window changed (Jump after a reload).
    virtual void layoutPages(PhotoPager::Move move) { Q_UNUSED(move); }
    // Starts loading the large picture of `photo`; the answer comes back
    // through showDetailImage or detailFailed with the same generation.
    virtual void loadDetailImageView(int photo, quint64 generation) = 0;

    // A picture's compressed bytes, read on a worker thread.
    using PictureBytes = std::function<QByteArray()>;
    using PictureLoaded = std::function<void(const QImage& image, QSize original)>;
    // Reads the picture of (photo, generation) on `pool` and decodes it at
    // the size shown; `done` gets it (null when it is no picture) with the
    // original's upright size on the main thread, while that page is shown.
    // Zooms past the picture's resolution then decode it again from `read`.
    void loadPicture(ImageLoadPool& pool, int photo, quint64 generation, PictureBytes read, PictureLoaded done);
    // A fling of the zoomed picture reaches notifyWillBeginDecelerating too.
    void reportZoomedFlings();
    // A black screen-sized page with the failure picture in its middle, for a
    // photo that cannot be shown.
    QImage failurePage() const;

    // Applies a loaded picture when (photo, generation) is still the shown
    // page; returns false when the answer was dropped. The container takes
    // swipes again after `unlockDelayMs`.
    bool showDetailImage(int photo, quint64 generation, const QImage& image, double maximumZoom,
                         int unlockDelayMs = 0);
    // The shown page has no large picture: it keeps what it shows, and
    // paging goes on (after `unlockDelayMs`).
    bool detailFailed(int photo, quint64 generation, int unlockDelayMs = 0);
    // Whether the container takes swipes (off from a swipe's release until
    // the new page's picture is in; a subclass may also hold it off).
    void setSwipesEnabled(bool enabled);
    bool swipesEnabled() const;

    bool isCurrent(int photo, quint64 generation) const { return m_pager.isCurrent(photo, generation); }
    // A thread-safe "still wanted" test for a worker loading (photo, generation).
    std::function<bool()> wantedTest(int photo, quint64 generation) const;

    QRect screenRect(int screen) const;

private:
    // The fixed parts: the paging container and the zooming view in it.
    void setupInitialData();
    // The pages, the shown photo and its large picture, from the data source.
    void setupInitialState();
    void reloadSelectedDetailView(int screen);
    void pageBy(int step);
    void unlockAfter(int ms);
    void publishCurrent();
    // Decodes the shown picture again when the zoom shows more pixels than it has.
    void sharpen();

    struct SharpSource {
        PictureBytes read;
        QSize original;
        int photo;
        quint64 generation;
    };

    PhotoPager m_pager;
    qreal m_screenWidth;
    qreal m_screenHeight;
    ui::ScrollView* m_container;
    ui::ScrollView* m_detail;
    QPointer<ui::ImageView> m_detailImage;
    // (generation, photo) of the shown page, readable by workers.
    std::shared_ptr<std::atomic<quint64>> m_wantedGeneration;
    std::shared_ptr<std::atomic<int>> m_wantedPhoto;
    std::optional<SharpSource> m_sharpSource;
    QSize m_sharpAsked;
    // The last sharper decode asked for; earlier ones are dropped.
    std::shared_ptr<std::atomic<quint64>> m_sharpRequest;
    ImageLoadPool m_sharper{1, "SharperPictures"};
};
