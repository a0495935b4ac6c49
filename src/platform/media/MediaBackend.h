#pragma once

#include <QString>
#include <QStringList>

// The Qt Multimedia backend the player and the camera run on: Qt's FFmpeg
// backend, whose decoders are the FFmpeg libraries the albums already read
// videos with. The other Linux backend crashes in the player's constructor
// when its plugins are missing, so it is never chosen silently.
class MediaBackend {
public:
    // Names the FFmpeg backend for Qt Multimedia; call before the first
    // player, camera or device query of the process (later calls are harmless).
    static void select();

    // Whether the player can play `file`: the backend's plugin is installed
    // in one of `pluginDirs` (default: Qt's plugin folders) and the file holds
    // a video stream whose frames decode.
    static bool canPlay(const QString& file);
    static bool canPlay(const QString& file, const QStringList& pluginDirs);

    static QStringList qtPluginDirs();
};
