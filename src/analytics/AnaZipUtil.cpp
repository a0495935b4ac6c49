#include "analytics/AnaZipUtil.h"

#include "analytics/GZipAnaZipUtil.h"

#include <zlib.h>

namespace {

void appendLittleEndian(QByteArray& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xff));
}

}

AnaZip* AnaZipUtil::getAnaZipUtil(int code)
{
    static GZipAnaZipUtil gzip;
    return code == kGZip ? &gzip : nullptr;
}

QByteArray AnaZipUtil::gzipCompress(const QByteArray& data)
{
    z_stream s{};
    if (deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    // Twice the input, or the bound when that is larger (tiny inputs).
    qsizetype room = std::max<qsizetype>(2 * data.size(), qsizetype(deflateBound(&s, uLong(data.size()))));
    QByteArray body(room, '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    s.avail_in = uInt(data.size());
    s.next_out = reinterpret_cast<Bytef*>(body.data());
    s.avail_out = uInt(body.size());
    int rc = deflate(&s, Z_FINISH);
    body.resize(qsizetype(s.total_out));
    deflateEnd(&s);
    if (rc != Z_STREAM_END)
        return QByteArray();
    QByteArray out = QByteArray::fromHex("1f8b08000000000002ff") + body;
    appendLittleEndian(out, uint32_t(crc32(0, reinterpret_cast<const Bytef*>(data.constData()), uInt(data.size()))));
    appendLittleEndian(out, uint32_t(data.size()));
    return out;
}
