#pragma once

#include <QByteArray>

// What a stored record must do: give its payload (before encipherment) and
// take a deciphered one back.
class AnalyticsPersistEncoding {
public:
    virtual ~AnalyticsPersistEncoding() = default;
    // The payload; a null array means "nothing to save".
    virtual QByteArray encodeData() const = 0;
    // Fills the record from a payload. May throw (a decoder's error).
    virtual bool setEncodeData(const QByteArray& data) = 0;
};
