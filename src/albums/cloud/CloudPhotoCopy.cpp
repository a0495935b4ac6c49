#include "albums/cloud/CloudPhotoCopy.h"

#include "codec/Digest.h"
#include "disk/DiskFile.h"
#include "platform/media/ImageCodec.h"

#include <QFile>

namespace CloudPhotoCopy {

QByteArray checkedBytes(const DiskFile& file)
{
    QFile local(file.file_path());
    if (!local.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = local.readAll();
    if (bytes.isEmpty() || bytes.size() != file.file_size())
        return {};
    const QString sha1 = file.sha1().toLower();
    if (!sha1.isEmpty()
        && QString::fromStdString(codec_sha1_hex(std::string_view(bytes.constData(), size_t(bytes.size())))) != sha1)
        return {};
    // A small decode is enough to know it is a picture.
    if (ImageCodec::decodeScaled(bytes, QSize(64, 64)).isNull())
        return {};
    return bytes;
}

}
