#pragma once

#include <QFile>
#include <QString>

// A library file opened for reading by its name's own bytes (see
// NativeName), for the readers that take a device or a path.
class LibraryFile {
public:
    explicit LibraryFile(const QString& path);

    // Opens path for reading as a regular file (a link to one is followed:
    // the library is the user's folder); a pipe or a device that took a
    // listed photo's name is refused (EINVAL) without being waited on.
    // The descriptor, or -1 with errno set.
    static int openRegular(const QString& path);

    bool isOpen() const { return m_file.isOpen(); }
    // At offset 0; an unopened device when the file could not be opened.
    QIODevice* device() { return &m_file; }
    // A path that opens this same file through Qt's own encoding: the path
    // itself when that keeps its bytes, else the open descriptor's entry in
    // /proc/self/fd (valid while this object lives); empty when not open.
    QString readerPath() const;

private:
    QString m_path;
    QFile m_file;
};
