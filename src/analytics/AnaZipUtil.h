#pragma once

#include "analytics/AnaZip.h"

#include <QByteArray>

// The SDK's compressors. Code 2 is gzip; no other code has one.
class AnaZipUtil {
public:
    static constexpr int kGZip = 2;

    static AnaZip* getAnaZipUtil(int code);

    // A one-shot gzip: the fixed header 1F 8B 08 00 00 00 00 00 02 FF, a raw
    // deflate stream, then CRC-32 and length (little-endian). Null on failure.
    static QByteArray gzipCompress(const QByteArray& data);
};
