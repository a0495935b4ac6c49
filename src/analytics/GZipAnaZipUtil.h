#pragma once

#include "analytics/AnaZip.h"

// gzip through zlib. zip: default level, gzip wrapper; unzip: a zlib or
// gzip stream, which must be complete (a cut stream gives no result) and
// inflate to at most kMaxUnzippedBytes. Null gives null; empty data is given
// back as it is.
class GZipAnaZipUtil final : public AnaZip {
public:
    static constexpr qsizetype kMaxUnzippedBytes = 16 * 1024 * 1024;

    QByteArray zip(const QByteArray& data) const override;
    QByteArray unzip(const QByteArray& data) const override;
};
