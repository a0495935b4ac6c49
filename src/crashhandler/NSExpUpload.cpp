#include "crashhandler/NSExpUpload.h"

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

QByteArray NSExpUpload::encodeData() const
{
    analyticsrov::KelOutputStream os;
    wire().writeTo(os);
    const auto& bytes = os.bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

bool NSExpUpload::setEncodeData(const QByteArray& data)
{
    analyticsrov::KelInputStream is(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    exceptionupload::ExceptionUpload fresh;
    fresh.readFrom(is);
    wire() = std::move(fresh);
    return true;
}
