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
