#include "support/VideoFixtures.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace VideoFixtures {

bool makeVideo(const QString& path, const QString& creationTime, const QString& encoder, bool sound)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QStringList args{"-nostdin", "-loglevel", "error", "-y", "-f", "lavfi", "-i", "testsrc=size=64x48:rate=10"};
    if (sound)
        args << "-f" << "lavfi" << "-i" << "sine=frequency=440:sample_rate=44100" << "-c:a" << "aac";
    args << "-t" << "2" << "-pix_fmt" << "yuv420p" << "-c:v" << encoder;
    if (!creationTime.isEmpty())
        args << "-metadata" << ("creation_time=" + creationTime);
    args << path;
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", args);
    if (!ffmpeg.waitForFinished(30000))
        return false;
    return ffmpeg.exitStatus() == QProcess::NormalExit && ffmpeg.exitCode() == 0
        && QFileInfo(path).size() > 0;
}

}
