#pragma once

#include <QString>
#include <QStringList>

// The command line of padolvo: --home, --library, --disk-root and
// --analytics-url, with their defaults filled in. apply() makes the home and
// the device photo library the process-wide ones; the other parts read the
// rest through current().
class LaunchOptions {
public:
    QString home;           // the application's home
    QString library;        // the device photo library folder
    bool defaultLibrary = true;   // no --library: made when missing
    QString diskRoot;       // the local cloud-disk store
    QString analyticsUrl;   // empty: uploads fail as "no network"

    enum class Parse { Run, Print, Error };
    // Parses the arguments (argv[0] first). Print (--help, --version) and
    // Error come with the text to show in *message. A --home or --disk-root
    // path that is not valid UTF-8 is an error (Qt's file functions would
    // use another folder); a --library path keeps its bytes.
    static Parse parse(const QStringList& arguments, LaunchOptions* out, QString* message);
    // The command line as text that keeps the bytes of an argument that is
    // not valid UTF-8 (see NativeName).
    static QStringList arguments(int argc, const char* const* argv);

    // Takes group and other access away from what earlier runs made under the
    // home and the disk root; then sets the home, the standard user defaults
    // under it and the shared photo library (the default folder made first
    // when a new account has none yet; a --library folder is taken as it
    // is); remembers these options as current().
    void apply() const;

    static const LaunchOptions& current();

private:
    void tightenEarlierRuns() const;
};
