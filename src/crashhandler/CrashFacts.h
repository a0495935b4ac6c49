#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>

class CrashReportData;
struct CrashState;

// The facts file beside a report: "crash_<time>.facts" in the crash folder,
// one per crash, rewritten by every pass. Each field is one line
// "<name> <length>:<bytes>\n", so a value may hold line ends.
//
// Fields: time, pid (of the writing process, as its reports' "Process:"
// line gives it), signal, code, type, error, address, pass, reportOpened
// ("1"/"0"), crashPath, backPath, active ("1" when the app was active),
// qua, guid, appId, appVersion, contact, deviceName, the run facts taken at
// crash time (cpu as a decimal percent, battery percent, freeMem,
// freeStorage and freeSDCard in bytes), thread, errorStack,
// crashStackShortNames, binInfo, and finally complete ("1") once the pass
// got to its end. The early write (before the thread walk) lacks the last
// five.
class CrashFacts {
public:
    // Async-signal-safe: writes the facts of the current pass through the
    // open crash folder. Returns false when the file could not be written.
    static bool write(int dirFd, const char* fileName, const CrashState& state,
                      const CrashReportData& data, bool complete);
    // The same in two steps over one open file, as the writer does it:
    // begin writes the early fields and returns the open descriptor (-1
    // when the file could not be made); finish appends the fields of the
    // thread walk and "complete", then closes it.
    static int begin(int dirFd, const char* fileName, const CrashState& state, const CrashReportData& data);
    static void finish(int fd, const CrashReportData& data);

    // What a facts file holds, read in a normal context. The fields end at
    // the first one not in the form the writer writes; a length past what
    // is left of the file ends them as a cut write does. The file is
    // damaged when it holds bytes the writer never writes, or bytes without
    // one whole field in them.
    struct Contents {
        QMap<QString, QByteArray> fields;
        bool damaged = false;
        bool refused = false;   // not read: a symbolic link, not a regular file, unreadable
    };
    static Contents parse(const QByteArray& bytes);
    // The writer's fields are fixed buffers: its largest file is about
    // 110 KB. A file past this is damaged and not read at all.
    static constexpr qint64 kMaxBytes = 1024 * 1024;
    // Refused when the file is unreadable, a symbolic link or not a regular
    // file; a second name (a hard link) is read as any file is.
    static Contents load(const QString& path);
    static QMap<QString, QByteArray> read(const QString& path) { return load(path).fields; }
    // The facts files left in a folder, oldest first (by name).
    static QStringList pending(const QString& directory);
};
