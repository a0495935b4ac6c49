#include "platform/media/MediaBackend.h"

#include "platform/media/VideoReader.h"

#include <QCoreApplication>
#include <QDir>

namespace {
constexpr char kBackend[] = "ffmpeg";
}

void MediaBackend::select()
{
    qputenv("QT_MEDIA_BACKEND", kBackend);
}

QStringList MediaBackend::qtPluginDirs()
{
    return QCoreApplication::libraryPaths();
}

bool MediaBackend::canPlay(const QString& file)
{
    return canPlay(file, qtPluginDirs());
}

bool MediaBackend::canPlay(const QString& file, const QStringList& pluginDirs)
{
    select();
    bool installed = false;
    for (const QString& dir : pluginDirs) {
        const QStringList plugins =
            QDir(dir + QStringLiteral("/multimedia")).entryList({QStringLiteral("*ffmpegmediaplugin*")}, QDir::Files);
        if (!plugins.isEmpty()) {
            installed = true;
            break;
        }
    }
    // One decoded frame shows that the backend's decoders take the file.
    return installed && !VideoReader::poster(file, 64).isNull();
}
