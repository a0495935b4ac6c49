#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The header the report writer puts at the top of each report (after the
// lines of an uncaught exception, when there was one): from
// "Hardware Model: " down to "Report Version:  104", with the writing
// process's id on its "Process:" line and the moment of the pass on its
// "Date/Time:" line. A file without it is not the writer's report.
class CrashReportHeader {
public:
    // The writer's header ends within this many first bytes of a report.
    static constexpr qint64 kMaxBytes = 32 * 1024;

    // From a report's first bytes; nothing when they do not carry the header.
    static std::optional<CrashReportHeader> parse(const QByteArray& head);
    // Reads the head of the crash folder's file at path (CrashFolderFile).
    static std::optional<CrashReportHeader> read(const QString& path);

    QByteArray processName;   // the kernel's name of the writing process
    int pid = 0;
    qint64 time = 0;   // ms since 1970, from the local time and zone printed
};
