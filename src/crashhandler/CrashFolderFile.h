#pragma once

#include <QByteArray>
#include <QString>

// Reads the crash folder's own files: only a regular file with one name,
// never through a symbolic link at the last step of the path, and never more
// than asked for (a report named by a facts file must not pull another file
// of the user's into a record, nor a planted giant exhaust the memory).
class CrashFolderFile {
public:
    enum class Read {
        Done,
        Refused,    // a link, a second name (hard link), not a regular file, unreadable, or no memory for it
        TooLarge,   // past maxSize: nothing of it is returned
    };
    // The whole file when it holds at most maxSize bytes.
    static Read readAll(const QString& path, QByteArray* out, qint64 maxSize);
    // Its first bytes, at most size; false when refused.
    static bool readHead(const QString& path, QByteArray* out, qint64 size);
};
