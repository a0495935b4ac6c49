#pragma once

#include <QByteArray>
#include <QString>

// Whole-file writes that never leave a half-written file behind: the bytes go
// to a temporary file in the same folder, are flushed to disk, and the
// temporary file is renamed over the target.
namespace AtomicFile {

// Suffix of the temporary files; watchers of a folder ignore such names.
inline constexpr const char* kTempSuffix = ".pavtmp";

bool write(const QString& path, const QByteArray& bytes, QString* error = nullptr);
// The same for a path given as the file system's bytes.
bool writeNative(const QByteArray& path, const QByteArray& bytes, QString* error = nullptr);

// Reads a whole file; false when it cannot be opened or read completely.
bool read(const QString& path, QByteArray* out, QString* error = nullptr);

}
