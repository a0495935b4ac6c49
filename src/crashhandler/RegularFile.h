#pragma once

#include <QByteArray>
#include <QString>

// Reads the crash folder's own files: only a regular file, never through a
// symbolic link at the last step of the path (a report named by a facts file
// must not pull another file of the user's into a record).
class RegularFile {
public:
    // At most limit bytes (all of it when negative); false when the path is
    // a link, not a regular file, or unreadable.
    static bool read(const QString& path, QByteArray* out, qint64 limit = -1);
};
