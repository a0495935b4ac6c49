#include "disk/DiskDir.h"

#include <QStringList>

DiskDir::DiskDir(QString name, QString key, std::shared_ptr<DiskDir> father)
    : m_name(std::move(name)), m_key(std::move(key)), m_father(std::move(father))
{
}

std::shared_ptr<DiskDir> DiskDir::rootDir()
{
    std::shared_ptr<DiskDir> dir = shared_from_this();
    // Bounded walk: a parent chain can never be longer than the number of
    // folders it passes, and a cycle must not hang the caller.
    for (int depth = 0; depth < 4096; ++depth) {
        const std::shared_ptr<DiskDir>& father = dir->dir_father();
        if (!father || !father->dir_father())
            return dir;
        dir = father;
    }
    return dir;
}

QString DiskDir::fullPath()
{
    QStringList names;
    DiskDir* dir = this;
    for (int depth = 0; dir && dir->dir_father() && depth < 4096; ++depth) {
        names.prepend(dir->dir_name());
        dir = dir->dir_father().get();
    }
    return "/" + names.join('/');
}
