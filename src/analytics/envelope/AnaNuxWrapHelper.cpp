#include "analytics/envelope/AnaNuxWrapHelper.h"

#include "analytics/AnaEncrypt.h"
#include "analytics/AnaEncryptUtil.h"
#include "analytics/AnaErrorPopulator.h"
#include "analytics/AnaZip.h"
#include "analytics/AnaZipUtil.h"
#include "analytics/kel/UniPacket.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/packages/NSResponsePackage.h"

#include <atomic>
#include <exception>

namespace {

std::atomic<int32_t> g_requestId{0};

bool fail(AnaError* error, int code, const QString& description)
{
    AnaErrorPopulator::populateError(error, code, description);
    return false;
}

QString withWhat(const char* format, const std::exception& e)
{
    return QString::fromUtf8(format).arg(QString::fromUtf8(e.what()));
}

QByteArray toQt(const analyticsrov::KelBytes& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

analyticsrov::KelBytes toKel(const QByteArray& bytes)
{
    return analyticsrov::KelBytes(bytes.begin(), bytes.end());
}

}

int32_t AnaNuxWrapHelper::peekNextRequestId()
{
    return g_requestId.load();
}

QByteArray AnaNuxWrapHelper::createReqData(const NSRequestPackage& request, const QString& reqKey,
                                           const QString& reqServant, const QString& reqFunc, int zipAlg,
                                           int encAlg, const QString& encKey, AnaError* error) const
{
    if (reqKey.isNull())
        return fail(error, 8, "error requestKey is nil "), QByteArray();
    if (reqServant.isNull())
        return fail(error, 8, "error requestServant is nil "), QByteArray();
    if (reqFunc.isNull())
        return fail(error, 8, "error requestFunc is nil "), QByteArray();

    common::RequestPackage package;
    try {
        request.createNuxModel(package);
    } catch (const std::exception& e) {
        return fail(error, 7, withWhat("error create req nux model %1", e)), QByteArray();
    }

    if (!package.sBuffer.empty()) {
        const QString key = encAlg != -1 ? encKey : kRequestKey;
        const int zip = zipAlg == -1 ? 2 : zipAlg;
        const int enc = encAlg == -1 ? 1 : encAlg;
        const AnaZip* zipper = AnaZipUtil::getAnaZipUtil(zip);
        if (!zipper)
            return fail(error, 5, "error got zip util"), QByteArray();
        // A body whose compression failed must not go out labelled as gzip.
        const QByteArray zipped = zipper->zip(toQt(package.sBuffer));
        if (zipped.isNull())
            return fail(error, 5, "error encrypt or zip data"), QByteArray();
        package.zipType = int8_t(zip);
        const AnaEncrypt* cipher = AnaEncryptUtil::getEncrypt(enc);
        if (!cipher)
            return fail(error, 5, "error got encrypt util"), QByteArray();
        const QByteArray enciphered = cipher->encrypt(zipped, key);
        package.encryType = int8_t(enc);
        if (enciphered.isEmpty())
            return fail(error, 5, "error encrypt or zip data"), QByteArray();
        package.sBuffer = toKel(enciphered);
    }

    try {
        analyticsnux::UniPacket packet;
        packet.setRequestId(g_requestId.fetch_add(1));
        packet.setServantName(reqServant.toStdString());
        packet.setFuncName(reqFunc.toStdString());
        packet.put(reqKey.toStdString(), "common.RequestPackage", package);
        return toQt(packet.encode());
    } catch (const std::exception& e) {
        return fail(error, 7, withWhat("error encode req packet %1", e)), QByteArray();
    }
}

std::shared_ptr<NSResponsePackage> AnaNuxWrapHelper::createRspData(const QByteArray& data, const QString& rspKey,
                                                                   const QString& encPubKey,
                                                                   AnaError* error) const
{
    if (rspKey.isNull())
        return fail(error, 8, "error requestKey is nil "), nullptr;

    common::ResponsePackage package;
    try {
        analyticsnux::UniPacket packet;
        packet.decode(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
        packet.get(rspKey.toStdString(), "common.ResponsePackage", package);
    } catch (const std::exception& e) {
        return fail(error, 7, withWhat("error decode rsp packet %1", e)), nullptr;
    }

    if (!package.sBuffer.empty()) {
        QByteArray body = toQt(package.sBuffer);
        if (package.encryType != -1) {
            const AnaEncrypt* cipher = AnaEncryptUtil::getEncrypt(package.encryType);
            if (!cipher)
                return fail(error, 5, "error got encrypt util"), nullptr;
            body = cipher->decrypt(body, encPubKey.isNull() ? kResponseKey : encPubKey);
            if (body.isNull())
                return fail(error, 5, "error encrypt or zip data"), nullptr;
        }
        if (package.zipType != -1) {
            const AnaZip* zipper = AnaZipUtil::getAnaZipUtil(package.zipType);
            if (!zipper)
                return fail(error, 5, "error got zip util"), nullptr;
            body = zipper->unzip(body);
            if (body.isNull())
                return fail(error, 5, "error encrypt or zip data"), nullptr;
        }
        package.sBuffer = toKel(body);
    }

    try {
        return NSResponsePackage::initWithNuxModel(package);
    } catch (const std::exception& e) {
        return fail(error, 7, withWhat("error create rsp local model %1", e)), nullptr;
    }
}
