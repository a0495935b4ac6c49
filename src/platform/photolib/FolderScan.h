#pragma once

#include <QString>

#include <optional>
#include <vector>

// One pass over the library folder: the files at its top level and in each
// direct subfolder, one stat() per entry. Hidden names and our own temporary
// files are left out. Entries come sorted by relative path, top level first.
struct FolderScan {
    struct Entry {
        QString relativePath;  // "a.jpg" or "Album/b.jpg"
        qint64 size = 0;
        qint64 mtimeMs = 0;    // milliseconds since the epoch
        bool isAlbum = false;  // a subfolder itself (size and time unused)
        qint64 mtimeNs = 0;    // nanoseconds since the epoch
        quint64 inode = 0;
    };

    static std::vector<Entry> scan(const QString& root);
    // The entry of one regular file (relativePath as given); nullopt when it
    // is missing or not a regular file.
    static std::optional<Entry> stat(const QString& path, const QString& relativePath);
};
