#pragma once

#include "platform/ui/Screen.h"

#include <QPointer>

class AlbumHost;

// What every album screen offers the container: a way back to it, leaving
// the selection mode, and (the cloud album) reloading its list. The album
// screens derive from it; on its own it is an empty album.
class AlbumScreen : public ui::Screen {
    Q_OBJECT
public:
    explicit AlbumScreen(QWidget* parent = nullptr);

    // The album tab holding this screen; null before it is set and once the
    // host is gone.
    AlbumHost* containerController() const;
    virtual void setContainerController(AlbumHost* container);
    // The host's view (null without a host).
    QWidget* containerView() const { return containerController() ? m_containerView.data() : nullptr; }

    virtual void backToNormalMode() {}
    virtual void refreshData() {}

protected:
    // The album grid over its 50-point toolbar: both follow the screen's size
    // from now on.
    void setGridAndBar(QWidget* grid, QWidget* bar);
    void resizeEvent(QResizeEvent* event) override;

private:
    void layoutGridAndBar();

    AlbumHost* m_container = nullptr;
    QPointer<QWidget> m_containerView;   // tells whether m_container is still there
    QPointer<QWidget> m_grid;
    QPointer<QWidget> m_bar;
};
