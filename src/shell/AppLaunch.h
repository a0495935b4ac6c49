#pragma once

#include "shell/LaunchOptions.h"

#include <QApplication>

#include <memory>
#include <optional>

class AppDelegate;
class CleanExit;
class TerminationSignals;

// The application's start as main() runs it; test programs that start the
// application run the same. Before the application object exists, new files
// become the user's alone, the crash reporter is armed (it reads --home by
// hand) and the media backend that plays our videos is chosen. launch() then
// parses the flags, takes the home's one-instance lock, applies the options,
// wires the crash reporter, removes what unfinished saves left in the
// device library and launches the delegate; a termination signal or the
// main window closed ends it through CleanExit. Main thread; destruction
// stops the crash upload (its queues joined) and the private album's repair
// behind, then ends the delegate, all before the application object.
class AppLaunch {
public:
    // argc must outlive the object, as QApplication asks.
    AppLaunch(int& argc, char** argv);
    ~AppLaunch();
    AppLaunch(const AppLaunch&) = delete;
    AppLaunch& operator=(const AppLaunch&) = delete;

    // An exit status when the process should end here (help and version are
    // printed, errors and a second instance are reported), nothing when the
    // application runs.
    std::optional<int> launch();

    const LaunchOptions& options() const { return m_options; }
    AppDelegate& delegate() const { return *m_delegate; }

private:
    struct Armed {
        Armed(int argc, char** argv);
    };

    Armed m_armed;   // first: before the application object
    QApplication m_app;
    int& m_argc;      // what the application object left of the command line
    char** m_argv;
    LaunchOptions m_options;
    std::unique_ptr<AppDelegate> m_delegate;
    std::unique_ptr<CleanExit> m_cleanExit;
    std::unique_ptr<TerminationSignals> m_termination;
};
