#pragma once

#include <QByteArray>
#include <QString>

// Writes of cache files (thumbnails, facts) through the one writer
// (AtomicFile), but never synced to disk. A cache lost in a power cut is
// rebuilt; the sync would cost every listing and every first screen.
namespace CacheFile {

// Makes the folder when missing. False when the file could not be written.
bool write(const QString& path, const QByteArray& bytes);

}
