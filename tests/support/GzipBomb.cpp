#include "support/GzipBomb.h"

#include <zlib.h>

#include <algorithm>

QByteArray gzipOfZeros(qint64 bytes)
{
    return gzipPadded(QByteArray(), bytes, '\0', QByteArray());
}

QByteArray gzipPadded(const QByteArray& head, qint64 bytes, char filler, const QByteArray& tail)
{
    z_stream s{};
    if (deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    const QByteArray fill(1024 * 1024, filler);
    QByteArray out;
    char room[64 * 1024];
    qint64 left = bytes;
    // The head, the filling, then the tail, each fed once its turn comes.
    int part = 0;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (s.avail_in == 0 && part == 0) {
            s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(head.constData()));
            s.avail_in = uInt(head.size());
            part = 1;
        } else if (s.avail_in == 0 && part == 1 && left > 0) {
            const qint64 take = std::min<qint64>(left, fill.size());
            s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(fill.constData()));
            s.avail_in = uInt(take);
            left -= take;
        } else if (s.avail_in == 0 && part == 1) {
            s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(tail.constData()));
            s.avail_in = uInt(tail.size());
            part = 2;
        }
        s.next_out = reinterpret_cast<Bytef*>(room);
        s.avail_out = sizeof room;
        rc = deflate(&s, part < 2 || s.avail_in > 0 ? Z_NO_FLUSH : Z_FINISH);
        out.append(room, qsizetype(sizeof room - s.avail_out));
    }
    deflateEnd(&s);
    return out;
}
