#include "support/LoopbackEnvelope.h"

#include "analytics/AnaEncrypt.h"
#include "analytics/AnaEncryptUtil.h"
#include "analytics/AnaZip.h"
#include "analytics/AnaZipUtil.h"
#include "analytics/envelope/AnaNuxWrapHelper.h"
#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/UniPacket.h"
#include "analytics/packages/ResponsePackage.h"

#include <exception>

namespace {

QByteArray toQt(const analyticsrov::KelBytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

analyticsrov::KelBytes toKel(const QByteArray& bytes)
{
    return analyticsrov::KelBytes(bytes.begin(), bytes.end());
}

}

LoopbackEnvelope::Decoded LoopbackEnvelope::decodeRequest(const QByteArray& envelope, const std::string& key)
{
    Decoded out;
    try {
        analyticsnux::UniPacket packet;
        packet.decode(reinterpret_cast<const uint8_t*>(envelope.constData()), size_t(envelope.size()));
        out.header = packet.packet();
        packet.get(key, "common.RequestPackage", out.package);
        QByteArray body = toQt(out.package.sBuffer);
        if (!body.isEmpty() && out.package.encryType == 1)
            body = AnaEncryptUtil::getEncrypt(1)->decrypt(body, AnaNuxWrapHelper::kRequestKey);
        if (!body.isEmpty() && out.package.zipType == 2)
            body = AnaZipUtil::getAnaZipUtil(2)->unzip(body);
        if (body.isNull() && !out.package.sBuffer.empty()) {
            out.error = "body does not decipher or inflate";
            return out;
        }
        out.plainBody = body;
        if (out.package.cmd == 4 && !body.isEmpty()) {
            const analyticsrov::KelBytes plain = toKel(body);
            analyticsrov::KelInputStream is(plain);
            is.read(out.mix, 0, true);
        }
        out.ok = true;
    } catch (const std::exception& e) {
        out.error = QString::fromUtf8(e.what());
    }
    return out;
}

QByteArray LoopbackEnvelope::encodeReply(const Reply& reply)
{
    common::ResponsePackage package;
    package.result = int8_t(reply.result);
    package.cmd = reply.cmd;
    package.gateWayIp = reply.gateWayIp;
    package.serverTime = reply.serverTime;
    package.encryType = int8_t(reply.encryType);
    package.zipType = int8_t(reply.zipType);
    QByteArray body = toQt(reply.body);
    if (!reply.transformed && !body.isEmpty() && reply.zipType == 2)
        body = AnaZipUtil::getAnaZipUtil(2)->zip(body);
    if (!reply.transformed && !body.isEmpty() && reply.encryType == 1)
        body = AnaEncryptUtil::getEncrypt(1)->encrypt(body, AnaNuxWrapHelper::kResponseKey);
    package.sBuffer = toKel(body);
    analyticsnux::UniPacket packet;
    packet.setServantName("upload");
    packet.setFuncName("access");
    packet.put(reply.key, "common.ResponsePackage", package);
    return toQt(packet.encode());
}
