#pragma once

#include <QString>

#include <optional>
#include <vector>

// One pass over the library folder: the files at its top level and in each
// direct subfolder, one stat() per entry. Hidden names and our own temporary
// files are left out. The top level's files come first, then each album
// (sorted by name) followed by its files; files are sorted by name when asked
// (sorting 10,000 names costs about as much as a third of the pass).
struct FolderScan {
    struct Entry {
        QString relativePath;  // "a.jpg" or "Album/b.jpg"
        qint64 size = 0;
        qint64 mtimeMs = 0;    // milliseconds since the epoch
        bool isAlbum = false;  // a subfolder itself (size and time unused)
        qint64 mtimeNs = 0;    // nanoseconds since the epoch
        quint64 inode = 0;
    };

    enum class FileOrder { ByName, AsRead };
    static std::vector<Entry> scan(const QString& root, FileOrder order = FileOrder::ByName);
    // The entry of one regular file (relativePath as given); nullopt when it
    // is missing or not a regular file.
    static std::optional<Entry> stat(const QString& path, const QString& relativePath);
};
