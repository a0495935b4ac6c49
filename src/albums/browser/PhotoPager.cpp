#include "albums/browser/PhotoPager.h"

#include <algorithm>

bool PhotoPager::reload(int pages, int begin)
{
    m_pages = std::max(0, pages);
    ++m_generation;
    if (m_pages == 0) {
        m_selected = 0;
        m_screen = 0;
        return false;
    }
    select(begin >= 0 && begin < m_pages ? begin : 0);
    return true;
}

void PhotoPager::select(int photo)
{
    m_selected = photo;
    if (!isWindowed())
        m_screen = photo;
    else if (photo == 0)
        m_screen = 0;
    else if (photo == m_pages - 1)
        m_screen = 2;
    else
        m_screen = 1;
}

int PhotoPager::screenCount() const
{
    return isWindowed() ? 3 : m_pages;
}

int PhotoPager::photoAtScreen(int screen) const
{
    if (screen < 0 || screen >= screenCount())
        return -1;
    if (isWindowed() && (screen < m_screen - 1 || screen > m_screen + 1))
        return -1;  // only the shown photo and its two neighbours have pages
    const int photo = isWindowed() ? m_selected - m_screen + screen : screen;
    return photo >= 0 && photo < m_pages ? photo : -1;
}

std::vector<PhotoPager::Slot> PhotoPager::pageSlots() const
{
    std::vector<Slot> out;
    for (int s = 0; s < screenCount(); ++s) {
        const int photo = photoAtScreen(s);
        if (photo >= 0)
            out.push_back({s, photo});
    }
    return out;
}

PhotoPager::Move PhotoPager::settle(int screen)
{
    if (m_pages == 0)
        return Move::None;
    screen = std::clamp(screen, 0, screenCount() - 1);
    if (screen == m_screen)
        return Move::None;
    ++m_generation;
    if (!isWindowed()) {
        select(screen);
        return Move::Jump;
    }
    const bool left = screen < m_screen;
    select(m_selected + (left ? -1 : 1));
    return left ? Move::Left : Move::Right;
}
