#pragma once

#include <QByteArray>
#include <QString>

// Reads the crash folder's own files: only a regular file, never through a
// symbolic link at the last step of the path, and never more than asked for
// (a planted giant must not exhaust the memory). A second name is no reason
// to refuse a file (a home backed up with hard links has one for each): what
// a report is, its reader checks by its content (CrashReportHeader).
class CrashFolderFile {
public:
    enum class Read {
        Done,
        Refused,    // a symbolic link, not a regular file, unreadable, or no memory for it
        TooLarge,   // past maxSize: nothing of it is returned
    };
    // The whole file when it holds at most maxSize bytes.
    static Read readAll(const QString& path, QByteArray* out, qint64 maxSize);
    // Its first bytes, at most size; false when refused.
    static bool readHead(const QString& path, QByteArray* out, qint64 size);
};
