#pragma once

#include "platform/ui/Screen.h"

#include <QPointer>

class PavAlbumContainerController_iPad;

// What every album screen offers the container: a way back to it, leaving
// the selection mode, and (the cloud album) reloading its list. The album
// screens derive from it; on its own it is an empty album.
class AlbumScreen : public ui::Screen {
    Q_OBJECT
public:
    explicit AlbumScreen(QWidget* parent = nullptr);

    PavAlbumContainerController_iPad* containerController() const;
    void setContainerController(PavAlbumContainerController_iPad* container);

    virtual void backToNormalMode() {}
    virtual void refreshData() {}

protected:
    // The album grid over its 50-point toolbar: both follow the screen's size
    // from now on.
    void setGridAndBar(QWidget* grid, QWidget* bar);
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutGridAndBar();

    QPointer<PavAlbumContainerController_iPad> m_container;
    QPointer<QWidget> m_grid;
    QPointer<QWidget> m_bar;
};
