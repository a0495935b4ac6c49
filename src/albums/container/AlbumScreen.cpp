#include "albums/container/AlbumScreen.h"

#include "albums/container/PavAlbumContainerController_iPad.h"

AlbumScreen::AlbumScreen(QWidget* parent) : ui::Screen(parent) {}

PavAlbumContainerController_iPad* AlbumScreen::containerController() const
{
    return m_container.data();
}

void AlbumScreen::setContainerController(PavAlbumContainerController_iPad* container)
{
    m_container = container;
}

void AlbumScreen::setGridAndBar(QWidget* grid, QWidget* bar)
{
    m_grid = grid;
    m_bar = bar;
    layoutGridAndBar();
}

void AlbumScreen::layoutGridAndBar()
{
    constexpr int kBarHeight = 50;
    if (!m_grid || !m_bar || width() <= 0 || height() <= kBarHeight)
        return;
    m_grid->setGeometry(0, 0, width(), height() - kBarHeight);
    m_bar->setGeometry(0, height() - kBarHeight, width(), kBarHeight);
}

void AlbumScreen::resizeEvent(QResizeEvent* event)
{
    ui::Screen::resizeEvent(event);
    layoutGridAndBar();
}
