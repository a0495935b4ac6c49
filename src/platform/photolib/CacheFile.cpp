#include "platform/photolib/CacheFile.h"

#include "platform/core/AtomicFile.h"

#include <QFile>

namespace CacheFile {

bool write(const QString& path, const QByteArray& bytes)
{
    AtomicFile::Options options;
    options.sync = false;
    options.mode = 0644;
    options.makeFolder = true;
    return AtomicFile::writeNative(QFile::encodeName(path), bytes, nullptr, options);
}

}
