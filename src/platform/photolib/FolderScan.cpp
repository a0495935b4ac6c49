#include "platform/photolib/FolderScan.h"

#include "platform/photolib/FolderPhotoLibrary.h"
#include "platform/photolib/NativeName.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace {

FolderScan::Entry fileEntry(const QString& relativePath, const struct stat& st)
{
    const qint64 seconds = st.st_mtim.tv_sec;
    return FolderScan::Entry{relativePath,
                             static_cast<qint64>(st.st_size),
                             seconds * 1000 + st.st_mtim.tv_nsec / 1000000,
                             false,
                             seconds * 1000000000 + st.st_mtim.tv_nsec,
                             static_cast<quint64>(st.st_ino)};
}

// Reads one folder; albums (when wanted) and files go to out with prefix.
void readFolder(int parentFd, const char* name, const QString& prefix, bool wantAlbums,
                std::vector<FolderScan::Entry>* out, std::vector<QString>* albums)
{
    const int fd = openat(parentFd, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    DIR* dir = fdopendir(fd);
    if (!dir) {
        close(fd);
        return;
    }
    while (const dirent* e = readdir(dir)) {
        const QString entryName = NativeName::decode(e->d_name);
        if (!FolderPhotoLibrary::isItemName(entryName))
            continue;
        struct stat st;
        if (fstatat(fd, e->d_name, &st, 0) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (wantAlbums && albums)
                albums->push_back(entryName);
            continue;
        }
        if (!S_ISREG(st.st_mode))
            continue;
        out->push_back(fileEntry(prefix + entryName, st));
    }
    closedir(dir);
}

}

std::vector<FolderScan::Entry> FolderScan::scan(const QString& root, FileOrder order)
{
    std::vector<Entry> files;
    std::vector<QString> albums;
    const QByteArray rootPath = NativeName::encode(root);
    readFolder(AT_FDCWD, rootPath.constData(), QString(), true, &files, &albums);
    auto byPath = [](const Entry& a, const Entry& b) { return a.relativePath < b.relativePath; };
    if (order == FileOrder::ByName)
        std::sort(files.begin(), files.end(), byPath);
    std::sort(albums.begin(), albums.end());
    for (const QString& album : albums) {
        const QByteArray albumPath = NativeName::encode(root + QLatin1Char('/') + album);
        std::vector<Entry> inner;
        readFolder(AT_FDCWD, albumPath.constData(), album + QLatin1Char('/'), false, &inner, nullptr);
        if (order == FileOrder::ByName)
            std::sort(inner.begin(), inner.end(), byPath);
        files.push_back(Entry{album, 0, 0, true});
        files.insert(files.end(), inner.begin(), inner.end());
    }
    return files;
}

std::optional<FolderScan::Entry> FolderScan::stat(const QString& path, const QString& relativePath)
{
    struct stat st;
    if (::stat(NativeName::encode(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return fileEntry(relativePath, st);
}
