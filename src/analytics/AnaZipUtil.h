#pragma once

// PLACEHOLDER until the SDK utilities land.
#include <QByteArray>

class AnaZip {
public:
    virtual ~AnaZip() = default;
    virtual QByteArray zip(const QByteArray& data) const = 0;
    virtual QByteArray unzip(const QByteArray& data) const = 0;
};

class AnaZipUtil {
public:
    static const AnaZip* getAnaZipUtil(int code);
};
