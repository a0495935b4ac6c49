#include "analytics/GZipAnaZipUtil.h"

#include <algorithm>
#include <zlib.h>

namespace {

// Growth step: half the input, but never so small that the loop stalls.
qsizetype growthStep(qsizetype inputSize) { return std::max<qsizetype>(inputSize / 2, 1024); }

}

QByteArray GZipAnaZipUtil::zip(const QByteArray& data) const
{
    if (data.isNull() || data.isEmpty())
        return data;
    z_stream s{};
    if (deflateInit2(&s, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    QByteArray out(std::max<qsizetype>(data.size() / 2, 64), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    s.avail_in = uInt(data.size());
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (s.total_out >= uLong(out.size()))
            out.resize(out.size() + growthStep(data.size()));
        s.next_out = reinterpret_cast<Bytef*>(out.data()) + s.total_out;
        s.avail_out = uInt(out.size() - qsizetype(s.total_out));
        rc = deflate(&s, Z_FINISH);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) {
            deflateEnd(&s);
            return QByteArray();
        }
    }
    out.resize(qsizetype(s.total_out));
    return deflateEnd(&s) == Z_OK ? out : QByteArray();
}

QByteArray GZipAnaZipUtil::unzip(const QByteArray& data) const
{
    if (data.isNull() || data.isEmpty())
        return data;
    z_stream s{};
    if (inflateInit2(&s, 47) != Z_OK)
        return QByteArray();
    // One byte of room past the cap tells a stream that is too large.
    const qsizetype room = kMaxUnzippedBytes + 1;
    QByteArray out(std::min(data.size() + data.size() / 2, room), '\0');
    s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    s.avail_in = uInt(data.size());
    int rc = Z_OK;
    while (rc != Z_STREAM_END && s.total_out <= uLong(kMaxUnzippedBytes)) {
        if (s.total_out >= uLong(out.size()))
            out.resize(std::min(out.size() + growthStep(data.size()), room));
        s.next_out = reinterpret_cast<Bytef*>(out.data()) + s.total_out;
        s.avail_out = uInt(out.size() - qsizetype(s.total_out));
        rc = inflate(&s, Z_NO_FLUSH);
        // Output full: grow and go on. Anything else (bad data, or the input
        // ended before the stream did) is a failure, never a partial result.
        const bool needRoom = (rc == Z_OK || rc == Z_BUF_ERROR) && s.avail_out == 0;
        if (rc != Z_STREAM_END && !needRoom) {
            inflateEnd(&s);
            return QByteArray();
        }
    }
    if (s.total_out > uLong(kMaxUnzippedBytes)) {
        inflateEnd(&s);
        return QByteArray();
    }
    out.resize(qsizetype(s.total_out));
    return inflateEnd(&s) == Z_OK ? out : QByteArray();
}
