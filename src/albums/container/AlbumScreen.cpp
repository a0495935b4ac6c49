#include "albums/container/AlbumScreen.h"

#include "albums/container/AlbumHost.h"

AlbumScreen::AlbumScreen(QWidget* parent) : ui::Screen(parent) {}

AlbumHost* AlbumScreen::containerController() const
{
    return m_containerView ? m_container : nullptr;
}

void AlbumScreen::setContainerController(AlbumHost* container)
{
    m_container = container;
    m_containerView = container ? container->hostView() : nullptr;
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
