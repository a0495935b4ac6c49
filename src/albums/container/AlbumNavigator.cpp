#include "albums/container/AlbumNavigator.h"

AlbumNavigator::AlbumNavigator(std::function<bool()> isLogined, std::function<bool()> hasVerified)
    : m_isLogined(std::move(isLogined)), m_hasVerified(std::move(hasVerified))
{
}

int AlbumNavigator::select(int index)
{
    if (!isValid(index))
        return -1;
    m_previous = m_shown;
    m_shown = index;
    return m_previous;
}

int AlbumNavigator::selectPrevious()
{
    int p = m_previous;
    if ((p == Cloud && !m_isLogined()) || (p == Private && !m_hasVerified()) || !isValid(p))
        p = Device;
    m_previous = p;
    m_shown = p;
    return p;
}

bool AlbumNavigator::settingsCloseNeedsReturn() const
{
    return !m_isLogined() && m_shown == Cloud;
}
