#include "crashhandler/NSExpUpload.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"
#include "crashhandler/NSExpAttachment.h"

#include <QtEndian>

#include <algorithm>

QByteArray NSExpUpload::encodeData() const
{
    exceptionupload::ExceptionUpload model;
    createNuxModel(model);
    analyticsrov::KelOutputStream os;
    model.writeTo(os);
    const auto& bytes = os.bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

bool NSExpUpload::setEncodeData(const QByteArray& data)
{
    analyticsrov::KelInputStream is(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    exceptionupload::ExceptionUpload fresh;
    fresh.readFrom(is);
    initWithNuxModel(fresh);
    return true;
}

QByteArray NSExpUpload::encodeAttach() const
{
    const size_t count = std::min<size_t>(attachmentList.size(), 255);
    QByteArray out(1, char(uint8_t(count)));
    for (size_t i = 0; i < count; ++i) {
        NSExpAttachment mirror;
        mirror.initWithNuxModel(attachmentList[i]);
        const QByteArray one = mirror.encode();
        NSExpAttachment::appendLength(out, quint32(one.size()));
        out.append(one);
    }
    return out;
}

bool NSExpUpload::decodeAttach(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return false;
    std::vector<exceptionupload::Attachment> list;
    qsizetype at = 1;
    for (int i = 0; i < uint8_t(bytes[0]); ++i) {
        if (bytes.size() - at < 4)
            return false;
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
        at += 4;
        if (quint64(bytes.size() - at) < length)
            return false;
        NSExpAttachment mirror;
        if (mirror.decode(bytes.mid(at, qsizetype(length))) != qsizetype(length))
            return false;
        mirror.createNuxModel(list.emplace_back());
        at += qsizetype(length);
    }
    attachmentList = std::move(list);
    return true;
}
