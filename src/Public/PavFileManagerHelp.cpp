#include "Public/PavFileManagerHelp.h"

#include "platform/core/AppHome.h"

#include <QDir>
#include <QFileInfo>

QString PavFileManagerHelp::documentsPath() { return AppHome::current().documents(); }
QString PavFileManagerHelp::cachesPath() { return AppHome::current().caches(); }

QString PavFileManagerHelp::createDirectoryInDocument(const QString& name)
{
    const QString path = documentsPath() + "/" + name;
    QDir().mkpath(path);
    return path;
}

QString PavFileManagerHelp::createDirectoryInCaches(const QString& name)
{
    const QString path = cachesPath() + "/" + name;
    QDir().mkpath(path);
    return path;
}

bool PavFileManagerHelp::fileExistsAtPath(const QString& path)
{
    return !path.isEmpty() && QFileInfo::exists(path);
}

bool PavFileManagerHelp::fileIsEmptyAtPath(const QString& path)
{
    QFileInfo info(path);
    return !info.exists() || info.size() == 0;
}

bool PavFileManagerHelp::deleteFileInFullPath(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return false;
    return QFile::remove(path);
}
