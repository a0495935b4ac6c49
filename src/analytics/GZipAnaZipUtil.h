#pragma once

#include "analytics/AnaZip.h"

// gzip through zlib. zip: default level, gzip wrapper; unzip: a zlib or
// gzip stream, which must be complete (a cut stream gives no result). Null
// gives null; empty data is given back as it is.
class GZipAnaZipUtil final : public AnaZip {
public:
    QByteArray zip(const QByteArray& data) const override;
    QByteArray unzip(const QByteArray& data) const override;
};
