#pragma once

#include <QtGlobal>

#include <vector>

// The paging arithmetic of the photo browsers. The pages lie side by side,
// one screen each. With fewer than four photos every photo has its own
// screen; with four or more the content is three screens wide and the shown
// photo sits on screen 0 (the first photo), 2 (the last) or 1 (any other),
// its neighbours on the screens beside it: after each page change the view
// jumps back to that screen, so the neighbours are always one swipe away
// while the selected index walks through the whole list.
//
// Every change of the shown photo (and every reload) bumps generation(), so
// that an answer for a page no longer shown can be told apart and dropped.
class PhotoPager {
public:
    static constexpr int kWindowFrom = 4;  // photos from which three screens are recycled

    enum class Move { None, Left, Right, Jump };

    struct Slot {
        int screen;
        int photo;
        bool operator==(const Slot&) const = default;
    };

    // Loads a list of `pages` photos shown from `begin`. A begin outside the
    // list (a photo that is not in it) shows the first one. False when the
    // list is empty: nothing is shown then.
    bool reload(int pages, int begin);

    int pageCount() const { return m_pages; }
    int selectedIndex() const { return m_selected; }
    int screenIndex() const { return m_screen; }
    quint64 generation() const { return m_generation; }
    bool isWindowed() const { return m_pages >= kWindowFrom; }
    // The content's width in screens.
    int screenCount() const;

    // The photo on a screen, -1 when the screen is empty (with three
    // recycled screens, only the shown photo and its neighbours have one).
    int photoAtScreen(int screen) const;
    // Every screen that shows a photo, left to right: the page views to keep.
    std::vector<Slot> pageSlots() const;

    // The content settled on `screen` after a swipe. With three recycled
    // screens one settling moves one photo whatever the distance swiped.
    Move settle(int screen);

    // True when an answer made for (photo, generation) is still wanted.
    bool isCurrent(int photo, quint64 generation) const
    {
        return m_pages > 0 && photo == m_selected && generation == m_generation;
    }

private:
    void select(int photo);

    int m_pages = 0;
    int m_selected = 0;
    int m_screen = 0;
    quint64 m_generation = 0;
};
