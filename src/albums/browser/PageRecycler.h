#pragma once

#include "albums/browser/PhotoPager.h"

#include <functional>
#include <map>
#include <vector>

// Keeps one page view per photo of the pager's window: the views of photos
// still in the window are kept (and moved to their screen), the missing
// ones are made, the others dropped. View is a pointer-like handle.
template <typename View>
class PageRecycler {
public:
    using Make = std::function<View(int photo)>;
    using Place = std::function<void(View view, int screen)>;
    using Drop = std::function<void(View view)>;

    PageRecycler(Make make, Place place, Drop drop)
        : m_make(std::move(make)), m_place(std::move(place)), m_drop(std::move(drop))
    {
    }

    void sync(const std::vector<PhotoPager::Slot>& window)
    {
        std::map<int, View> kept;
        for (const PhotoPager::Slot& slot : window) {
            auto it = m_views.find(slot.photo);
            View view;
            if (it != m_views.end()) {
                view = it->second;
                m_views.erase(it);
            } else {
                view = m_make(slot.photo);
            }
            m_place(view, slot.screen);
            kept.emplace(slot.photo, view);
        }
        clear();
        m_views = std::move(kept);
    }

    void clear()
    {
        for (auto& [photo, view] : m_views)
            m_drop(view);
        m_views.clear();
    }

    // The view of a photo, or a default View when it has none.
    View viewForPhoto(int photo) const
    {
        const auto it = m_views.find(photo);
        return it == m_views.end() ? View{} : it->second;
    }
    int count() const { return int(m_views.size()); }

private:
    Make m_make;
    Place m_place;
    Drop m_drop;
    std::map<int, View> m_views;
};
