// Saves one photo into a device library folder as the application does,
// with the application's file-creation mask:
//   library_save_child <library folder> <photo file>
// Prints "saved" or "failed <error>".

#include "platform/core/PrivateFiles.h"
#include "platform/photolib/FolderPhotoLibrary.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv)
{
    PrivateFiles::restrictNewFiles();
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    QFile photo(QString::fromLocal8Bit(argv[2]));
    if (!photo.open(QIODevice::ReadOnly))
        return 2;
    FolderPhotoLibrary library(QString::fromLocal8Bit(argv[1]));
    library.saveToLibrary(photo.readAll(), QStringLiteral("JPG"), QDateTime(), [](const PhotoLibrary::SaveResult& r) {
        std::printf("%s\n", r.ok() ? "saved" : qPrintable("failed " + r.error));
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}
