#pragma once

#include <functional>

// Which of the three albums is shown and which was shown before, with the
// rules for going back: the private album only while it is unlocked, the
// cloud album only while it is signed in, otherwise the device album.
class AlbumNavigator {
public:
    enum Album { Device = 0, Private = 1, Cloud = 2 };
    static constexpr int kCount = 3;
    static bool isValid(int index) { return index >= 0 && index < kCount; }

    AlbumNavigator(std::function<bool()> isLogined, std::function<bool()> hasVerified);

    int shown() const { return m_shown; }
    int previous() const { return m_previous; }

    // Switches to index (the same one again included). Returns the album that
    // must leave its selection mode (the one shown until now), or -1 when the
    // index is not 0, 1 or 2 and nothing changed.
    int select(int index);
    // Returns to the album shown before, falling back to the device album;
    // the fallback is stored as the previous album. Returns the album shown.
    int selectPrevious();

    // After a cloud sign-in: switch to the cloud album unless it is shown.
    bool loginNeedsSwitch() const { return m_shown != Cloud; }
    // After the settings closed: go back when the cloud album is shown but
    // nobody is signed in.
    bool settingsCloseNeedsReturn() const;

private:
    std::function<bool()> m_isLogined;
    std::function<bool()> m_hasVerified;
    int m_shown = Device;
    int m_previous = Device;
};
