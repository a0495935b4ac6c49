#pragma once

#include <optional>

class LaunchOptions;

// The steps of the application's start that come before its delegate, as
// main() runs them; test programs that start the application run the same.
class AppLaunch {
public:
    // Before the application object: new files become the user's alone, the
    // crash reporter is armed (it reads --home by hand), and the media backend
    // that plays our videos is chosen.
    static void beforeApplication(int argc, char** argv);

    // After the application object: parses the flags (help, version and
    // errors are printed), takes the home's one-instance lock, applies the
    // options and wires the crash reporter. An exit status when the process
    // should end here, nothing when the launch goes on.
    static std::optional<int> prepare(LaunchOptions* options);
};
