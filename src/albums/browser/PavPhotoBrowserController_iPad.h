#pragma once

#include "platform/ui/Screen.h"

#include <QPointer>

class QLabel;
class PhotoPagerView;

namespace ui {
class ImageButton;
class TapGesture;
}

// The full-screen frame the three photo browsers share: the photo area over
// the whole screen (contentView, at the back, with the single tap), a
// translucent bar along the top (topBar inside the slightly taller
// topView, which holds the buttons) and an area along the bottom for the
// thumbnail strip (bottomView). A single tap hides both areas (full screen)
// or brings them back; a drag over the screen and the release of a swipe
// between photos hide them. Each browser puts its own title, buttons,
// paging view and strip into the areas. On a desktop, Left and Right page
// as a swipe does and Escape acts as the back button.
class PavPhotoBrowserController_iPad : public ui::Screen {
    Q_OBJECT
public:
    static constexpr int kBarHeight = 50;
    static constexpr int kFadeMs = 300;

    explicit PavPhotoBrowserController_iPad(QWidget* parent = nullptr);
    ~PavPhotoBrowserController_iPad() override;

    QWidget* topView() const { return m_topView; }
    QWidget* topBar() const { return m_topBar; }
    QWidget* contentView() const { return m_contentView; }
    QWidget* bottomView() const { return m_bottomView; }
    ui::TapGesture* singleTap() const { return m_singleTap; }
    bool isFullScreen() const { return m_isFullScreen; }
    int expandHotZone() const { return m_expandHotZone; }

    // Toggles full screen.
    void singleClicked();
    // Closes the browser.
    virtual void backButtonClicked();

    // "第%d张（共%d张）" filled with the position (from 1) and the count.
    static QString positionTitle(int position, int count);

    // Presents a browser over the whole application (from the root screen).
    static void presentFromRoot(PavPhotoBrowserController_iPad* browser);

protected:
    void viewDidLoad() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // What every browser adds: the title label in the top bar, the back
    // button on the top area, and the double tap on its paging view (the
    // single tap then waits for it to fail).
    QLabel* addTitleLabel(const QRect& frame);
    ui::ImageButton* addBackButton();
    ui::TapGesture* addDoubleTap(PhotoPagerView* pager);
    // A top-bar button aligned right and top (the private and cloud browsers).
    ui::ImageButton* addTopButton(const QRect& frame, const QString& imageName);

    // The release of a swipe between photos: full screen, fading the bar and
    // the strip.
    void enterFullScreenOnSwipe(QWidget* strip);

private:
    void setAreasHidden(bool hidden);

    QPointer<QWidget> m_topView;
    QPointer<QWidget> m_topBar;
    QPointer<QWidget> m_contentView;
    QPointer<QWidget> m_bottomView;
    ui::TapGesture* m_singleTap = nullptr;
    bool m_isFullScreen = false;
    int m_expandHotZone = 25;
    QPointer<PhotoPagerView> m_pager;
};
