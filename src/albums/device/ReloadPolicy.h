#pragma once

// When the device album reloads. The screen asks, then carries out the
// answer; nothing here touches a widget.
namespace ReloadPolicy {

enum UseType { AlbumTab = 0, PrivatePicker = 1, CloudPicker = 2 };

struct LibraryChange {
    bool setCancelFlags = false;   // stop a running batch before its next item
    bool cancelPendingCheck = false;
    bool loadNow = false;
    bool needUpdate = false;       // load at the next appearance
};

// The device library changed. shownNow: the album tab is the selected tab
// and its container shows the device album (index 0).
inline LibraryChange onLibraryChanged(int useType, bool shownNow)
{
    if (useType != AlbumTab)
        return {true, false, false, false};
    if (shownNow)
        return {true, true, true, false};
    return {false, false, false, true};
}

struct BecomeActive {
    bool checkAvailability = false;  // a non-empty grid: is the library still readable?
    bool delayedLoad = false;        // an empty grid: load after 0.3 s
    bool loadNow = false;            // a reload owed since the tab was hidden
    bool needUpdate = false;         // load at the next appearance (never cleared here)
};

// Where the album stands when the application becomes active.
struct ActiveState {
    int useType = AlbumTab;
    int containerIndex = 0;
    bool gridEmpty = false;
    bool owed = false;      // a reload is owed (needUpdate) and no load runs
    bool shownNow = false;  // the album tab is in front
    bool loading = false;   // a load runs; its listing is on the way
};

// The application became active again. Pickers ignore it. A reload owed is
// never dropped: it runs now when the album shows, otherwise at its next
// appearance. While a load runs an empty grid waits for its listing rather
// than asking for another.
inline BecomeActive onBecomeActive(const ActiveState& s)
{
    if (s.useType != AlbumTab)
        return {};
    if (s.containerIndex != 0)
        return {false, false, false, true};
    if (s.owed)
        return s.shownNow ? BecomeActive{false, false, true, false} : BecomeActive{false, false, false, true};
    if (s.loading)
        return {};
    return {!s.gridEmpty, s.gridEmpty, false, false};
}

inline constexpr int kDelayedLoadMs = 300;
inline constexpr int kAvailabilityObject = 99;

}
