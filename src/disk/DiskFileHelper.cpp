#include "disk/DiskFileHelper.h"

#include <QHash>

QString DiskFileHelper::upperExtension(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf('.');
    if (dot < 0 || fileName.indexOf('/', dot) >= 0)
        return QString();
    return fileName.mid(dot + 1).toUpper();
}

int DiskFileHelper::fileExtensionTypeFrom(const QString& fileName)
{
    static const QHash<QString, int> kTypes = {
        {"PNG", DiskFileTypeImage}, {"JPG", DiskFileTypeImage}, {"JPEG", DiskFileTypeImage},
        {"BMP", DiskFileTypeImage}, {"GIF", DiskFileTypeImage},
        {"MOV", DiskFileTypeVideo}, {"MP3", DiskFileTypeVideo}, {"MP4", DiskFileTypeVideo},
        {"DOC", DiskFileTypeDoc},   {"DOCX", DiskFileTypeDoc},  {"XLS", DiskFileTypeXls},
        {"XLSX", DiskFileTypeXls},  {"PPT", DiskFileTypePpt},   {"PPTX", DiskFileTypePpt},
        {"PDF", DiskFileTypePdf},   {"TXT", DiskFileTypeTxt},   {"ZIP", DiskFileTypeZip},
        {"RAR", DiskFileTypeZip},   {"APK", DiskFileTypeApk},   {"HTM", DiskFileTypeHtml},
        {"HTML", DiskFileTypeHtml},
    };
    return kTypes.value(upperExtension(fileName), DiskFileTypeOther);
}
