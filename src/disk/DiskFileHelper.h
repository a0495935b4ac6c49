#pragma once

#include <QString>

// Kinds of disk files by extension.
enum DiskFileType {
    DiskFileTypeDoc = 0,
    DiskFileTypeXls = 1,
    DiskFileTypePpt = 2,
    DiskFileTypePdf = 3,
    DiskFileTypeTxt = 4,
    DiskFileTypeZip = 5,
    DiskFileTypeApk = 6,
    DiskFileTypeHtml = 7,
    DiskFileTypeImage = 8,
    DiskFileTypeVideo = 9,
    DiskFileTypeOther = 10,
};

class DiskFileHelper {
public:
    // The DiskFileType code of a file name's extension (case ignored).
    static int fileExtensionTypeFrom(const QString& fileName);
    // The upper-case extension of a name ("" when it has none).
    static QString upperExtension(const QString& fileName);
};
