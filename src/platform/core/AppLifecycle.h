#pragma once

#include "platform/core/DelegateRef.h"

class NotificationCenter;

// Receiver of the application's lifecycle messages (the shell's AppDelegate).
class AppLifecycleDelegate {
public:
    virtual ~AppLifecycleDelegate() = default;
    virtual void applicationDidBecomeActive() {}
    virtual void applicationWillResignActive() {}
    virtual void applicationDidEnterBackground() {}
    virtual void applicationWillEnterForeground() {}
    virtual void applicationWillTerminate() {}
};

// The application's run state and its transitions. On the desktop the shell
// drives it from the main window (minimised or hidden = background, its
// return = foreground); tests drive it directly. Each transition first tells
// the delegate, then posts the matching notification on the centre. Calls
// that do not change the state are ignored. Main thread only.
class AppLifecycle {
public:
    enum class State { Inactive, Active, Background };

    static constexpr const char* kDidBecomeActiveNotification = "ApplicationDidBecomeActiveNotification";
    static constexpr const char* kWillResignActiveNotification = "ApplicationWillResignActiveNotification";
    static constexpr const char* kDidEnterBackgroundNotification = "ApplicationDidEnterBackgroundNotification";
    static constexpr const char* kWillEnterForegroundNotification = "ApplicationWillEnterForegroundNotification";
    static constexpr const char* kWillTerminateNotification = "ApplicationWillTerminateNotification";

    explicit AppLifecycle(NotificationCenter& center);

    // The process-wide instance, posting on NotificationCenter::defaultCenter().
    static AppLifecycle& shared();

    NotificationCenter& center() const { return m_center; }
    void setDelegate(AppLifecycleDelegate* delegate) { m_delegate.reset(delegate); }
    State state() const { return m_state; }

    // Inactive -> Active: the launch finished (didBecomeActive).
    void becomeActive();
    // Active -> Background: willResignActive, then didEnterBackground.
    void enterBackground();
    // Background -> Active: willEnterForeground, then didBecomeActive.
    void enterForeground();
    // Any state: willTerminate (once); the state becomes Inactive.
    void terminate();

private:
    void send(void (AppLifecycleDelegate::*message)(), const char* notification);

    NotificationCenter& m_center;
    DelegateRef<AppLifecycleDelegate> m_delegate;
    State m_state = State::Inactive;
    bool m_terminated = false;
};
