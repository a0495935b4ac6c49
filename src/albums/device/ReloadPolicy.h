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
    bool needUpdate = false;
};

// The application became active again. Pickers ignore it.
inline BecomeActive onBecomeActive(int useType, int containerIndex, bool gridEmpty)
{
    if (useType != AlbumTab)
        return {};
    if (containerIndex != 0)
        return {false, false, true};
    return {!gridEmpty, gridEmpty, false};
}

inline constexpr int kDelayedLoadMs = 300;
inline constexpr int kAvailabilityObject = 99;

}
