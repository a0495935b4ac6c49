#pragma once

class AlbumScreen;
class QPixmap;
class QWidget;

// What an album screen may ask of the album tab that holds it: which album
// is shown (and showing another), the album's icon in the selector strip,
// and the view that covers the whole tab (for the loading panel). The album
// container implements it; the screens know it only through this interface.
// Every call is on the main thread. A screen reaches its host through
// AlbumScreen::containerController(), which is null once the host is gone.
class AlbumHost {
public:
    virtual ~AlbumHost() = default;

    // The album shown (0 device, 1 private, 2 cloud).
    virtual int selectedIndex() const = 0;
    // Shows another album; an index outside 0..2 is ignored.
    virtual void setSelectedIndex(int index) = 0;
    // Goes back to the album shown before the current one.
    virtual void selectPreviousViewController() = 0;

    virtual void setAlbumIconWithAlbumType(int index, const QPixmap& image) = 0;
    virtual void resetAlbumIconToDefaultWithAlbumType(int index) = 0;

    // The root screen of the album at an index (null before it is built).
    virtual AlbumScreen* albumScreen(int index) const = 0;
    // The tab is in front on the screen.
    virtual bool albumTabOnScreen() const = 0;
    // The view that covers the album tab (the loading panel's host).
    virtual QWidget* hostView() = 0;
};
