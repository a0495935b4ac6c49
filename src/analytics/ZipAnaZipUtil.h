#pragma once

#include "analytics/AnaZip.h"

// The pass-through compressor: both directions give the data back.
class ZipAnaZipUtil final : public AnaZip {
public:
    QByteArray zip(const QByteArray& data) const override { return data; }
    QByteArray unzip(const QByteArray& data) const override { return data; }
};
