#pragma once

#include <QByteArray>
#include <QString>

#include <sys/types.h>

// The one writer of the program's own files. A whole-file write never leaves
// a half-written file behind and never writes through what stands at the
// name: the bytes go to a new temporary file in the same folder (made with
// O_EXCL, no link followed), and the temporary file is renamed over the
// name, replacing a link, a pipe or a hard-linked file there rather than
// writing into it. Reads go through RegularFile. Safe on any thread.
namespace AtomicFile {

// Suffix of the temporary files; watchers of a folder ignore such names.
inline constexpr const char* kTempSuffix = ".pavtmp";

struct Options {
    bool sync = true;             // flush the bytes and the rename to disk (a cache skips it)
    mode_t mode = 0600;           // of a new file, under the umask
    bool makeFolder = false;      // make a missing folder first
};

bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same for a path given as the file system's bytes.
bool writeNative(const QByteArray& path, const QByteArray& bytes, QString* error = nullptr,
                 const Options& options = {});

// Opens the program's own file at path for reading and writing, for a file
// that grows in place (a download resumed from its size). A regular file
// with one link is kept as it is; anything else at the name (a symbolic
// link, a FIFO, a device, a file with a second hard link) is removed, the
// name and never what it leads to, and a new empty file made there. -1 with
// errno set when it cannot (a folder at the name, no permission).
int openForGrowing(const QString& path, mode_t mode = 0644);

}
