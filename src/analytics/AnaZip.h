#pragma once

#include <QByteArray>

// A compressor of the SDK. A null QByteArray is "no result".
class AnaZip {
public:
    virtual ~AnaZip() = default;
    virtual QByteArray zip(const QByteArray& data) const = 0;
    virtual QByteArray unzip(const QByteArray& data) const = 0;
};
