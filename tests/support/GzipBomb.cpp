#include "support/GzipBomb.h"

#include <zlib.h>

#include <algorithm>

QByteArray gzipOfZeros(qint64 bytes)
{
    z_stream s{};
    if (deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    const QByteArray zeros(1024 * 1024, '\0');
    QByteArray out;
    char room[64 * 1024];
    qint64 left = bytes;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (s.avail_in == 0 && left > 0) {
            const qint64 take = std::min<qint64>(left, zeros.size());
            s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(zeros.constData()));
            s.avail_in = uInt(take);
            left -= take;
        }
        s.next_out = reinterpret_cast<Bytef*>(room);
        s.avail_out = sizeof room;
        rc = deflate(&s, left > 0 || s.avail_in > 0 ? Z_NO_FLUSH : Z_FINISH);
        out.append(room, qsizetype(sizeof room - s.avail_out));
    }
    deflateEnd(&s);
    return out;
}
