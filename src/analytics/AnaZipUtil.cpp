#include "analytics/AnaZipUtil.h"

// PLACEHOLDER until the SDK utilities land.
#include <zlib.h>

namespace {

class GZip final : public AnaZip {
public:
    QByteArray zip(const QByteArray& data) const override
    {
        z_stream s{};
        if (deflateInit2(&s, -1, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            return {};
        QByteArray out(int(deflateBound(&s, uLong(data.size()))) + 32, '\0');
        s.next_in = (Bytef*)data.constData();
        s.avail_in = uInt(data.size());
        s.next_out = (Bytef*)out.data();
        s.avail_out = uInt(out.size());
        const int r = deflate(&s, Z_FINISH);
        out.resize(qsizetype(s.total_out));
        deflateEnd(&s);
        return r == Z_STREAM_END ? out : QByteArray();
    }
    QByteArray unzip(const QByteArray& data) const override
    {
        z_stream s{};
        if (inflateInit2(&s, 47) != Z_OK)
            return {};
        QByteArray out;
        char buf[16384];
        s.next_in = (Bytef*)data.constData();
        s.avail_in = uInt(data.size());
        int r = Z_OK;
        do {
            s.next_out = (Bytef*)buf;
            s.avail_out = sizeof buf;
            r = inflate(&s, Z_NO_FLUSH);
            if (r != Z_OK && r != Z_STREAM_END)
                break;
            out.append(buf, qsizetype(sizeof buf - s.avail_out));
        } while (r != Z_STREAM_END);
        inflateEnd(&s);
        if (r != Z_STREAM_END)
            return {};
        if (out.isNull())
            out = QByteArray("", 0);
        return out;
    }
};

}

const AnaZip* AnaZipUtil::getAnaZipUtil(int code)
{
    static GZip gzip;
    return code == 2 ? &gzip : nullptr;
}
