#pragma once

#include "analytics/AnalyticsPersistObject.h"
#include "crashhandler/ExceptionUpload.h"

// A stored crash record (persist type 3): the record columns plus the wire
// fields. Its payload is the Kel encoding of the fields, without an
// enclosing struct head.
class NSExpUpload : public AnalyticsPersistObject, public exceptionupload::ExceptionUpload {
public:
    static constexpr int kPersistType = 3;

    NSExpUpload() { setType(kPersistType); }

    QByteArray encodeData() const override;
    // Throws analyticsrov::KelDecodeException for a malformed payload.
    bool setEncodeData(const QByteArray& data) override;

    exceptionupload::ExceptionUpload& wire() { return *this; }
    const exceptionupload::ExceptionUpload& wire() const { return *this; }
};
