#pragma once

#include <QString>

// Documents and Library/Caches path helpers over the current home.
class PavFileManagerHelp {
public:
    static QString documentsPath();
    static QString cachesPath();
    // Creates the named folder under Documents (with intermediate folders)
    // when missing; returns its path either way.
    static QString createDirectoryInDocument(const QString& name);
    static QString createDirectoryInCaches(const QString& name);
    static bool fileExistsAtPath(const QString& path);
    static bool fileIsEmptyAtPath(const QString& path);   // missing counts as empty
    // Removes the file (or link) at path; false when nothing could be
    // removed. Never a folder: a path built from a damaged name must not
    // take a whole tree with it.
    static bool deleteFileInFullPath(const QString& path);
};
