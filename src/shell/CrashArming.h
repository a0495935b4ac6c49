#pragma once

#include <QString>

// The first step of a launch: arms the crash writer before anything else
// runs (no QApplication yet, no other flag read), so a crash at any later
// point of the launch leaves a report.
class CrashArming {
public:
    // The home folder of "--home DIR" or "--home=DIR" (made absolute); the
    // default home when the flag is absent, empty when its path or that of
    // --disk-root is not valid UTF-8 (the launch refuses them). Only these
    // flags are read here; the full command line is parsed later.
    static QString homeFrom(int argc, const char* const* argv);
    // Sets the home and installs the crash writer: the crash folder, the
    // signal handlers, the terminate handler and the thread-start hook.
    // Nothing is armed (or made) for a home the launch refuses.
    static void arm(int argc, const char* const* argv);
};
