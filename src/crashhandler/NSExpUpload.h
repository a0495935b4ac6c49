#pragma once

#include "analytics/AnalyticsPersistObject.h"
#include "crashhandler/ExceptionUpload.h"

// A stored crash record (persist type 3) and the mirror of its wire
// structure: the record columns plus the wire fields (the nested mirrors
// NSExpAttachment, NSMobileInfo, NSRunInfo and NSContactInfo convert each
// nested structure). Its payload is the Kel encoding of the fields, without an
// enclosing struct head.
class NSExpUpload : public AnalyticsPersistObject, public exceptionupload::ExceptionUpload {
public:
    static constexpr int kPersistType = 3;

    NSExpUpload() { setType(kPersistType); }

    QByteArray encodeData() const override;
    // Throws analyticsrov::KelDecodeException for a malformed payload.
    bool setEncodeData(const QByteArray& data) override;

    // The wire structure from the record and back.
    void createNuxModel(exceptionupload::ExceptionUpload& model) const { model = wire(); }
    void initWithNuxModel(const exceptionupload::ExceptionUpload& model) { wire() = model; }

    // The attachments' own byte form: 1 byte count (at most 255 are
    // written), then per attachment a 4-byte big-endian length and its
    // NSExpAttachment byte form. decodeAttach replaces the list; false (list
    // unchanged) for malformed bytes.
    QByteArray encodeAttach() const;
    bool decodeAttach(const QByteArray& bytes);

    exceptionupload::ExceptionUpload& wire() { return *this; }
    const exceptionupload::ExceptionUpload& wire() const { return *this; }
};
