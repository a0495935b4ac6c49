#include "analytics/strategy/LocalStrategy.h"

#include "analytics/AnaBundleUtil.h"
#include "analytics/envelope/AnaNuxWrapHelper.h"
#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"
#include "analytics/transport/AnaUploadAddress.h"

#include <mutex>

LocalStrategy::LocalStrategy()
    : encKey(AnaNuxWrapHelper::kRequestKey),
      encPubKey(AnaNuxWrapHelper::kResponseKey),
      uploadServer(AnaUploadAddress::defaultUrl())
{
    setType(kType);
}

bool LocalStrategy::isUsableKey(const QString& key)
{
    return key.toUtf8().size() >= 8;
}

void LocalStrategy::checkSafe()
{
    if (zipAlg != -1 && zipAlg != 2)
        zipAlg = -1;
    if (encAlg != -1 && encAlg != 1)
        encAlg = -1;
    if (unsigned(uploadStrategy) > 3u)
        uploadStrategy = 3;
    if (maxPkgSize < 20 || maxPkgSize > 100)
        maxPkgSize = 50;
    if (!isUsableKey(encKey))
        encKey = AnaNuxWrapHelper::kRequestKey;
    if (!isUsableKey(encPubKey))
        encPubKey = AnaNuxWrapHelper::kResponseKey;
    if (!AnaUploadAddress::isUsableUrl(uploadServer))
        uploadServer = AnaUploadAddress::defaultUrl();
    if (dbMaxSize < 100 || dbMaxSize > 200)
        dbMaxSize = 200;
}

int32_t LocalStrategy::stringHash(const QString& text)
{
    uint32_t hash = 2166136261u;
    for (const char c : text.toUtf8()) {
        hash ^= uint8_t(c);
        hash *= 16777619u;
    }
    return int32_t(hash);
}

long LocalStrategy::getDefaultId()
{
    static const long id = [] {
        uint32_t sum = 0;
        const QString version = AnaBundleUtil::getBundleVersion();
        if (!version.isNull())
            sum += uint32_t(stringHash(version));
        const QString uuid = AnaBundleUtil::getVYTCIBuildUUID();
        if (!uuid.isNull())
            sum += uint32_t(stringHash(uuid));
        sum += uint32_t(stringHash(QString::fromLatin1(kSdkVersion)));
        return long(int32_t(sum));
    }();
    return id;
}

QString LocalStrategy::getDefaultHash()
{
    return QString::number(getDefaultId());
}

std::shared_ptr<LocalStrategy> LocalStrategy::getObjWithDefaultSet()
{
    auto strategy = std::make_shared<LocalStrategy>();
    strategy->setMd5(getDefaultId());
    return strategy;
}

QByteArray LocalStrategy::encodeData() const
{
    analyticsrov::KelOutputStream os;
    os.write(int32_t(id()), 0);
    os.write(int32_t(zipAlg), 1);
    os.write(int32_t(encAlg), 2);
    os.write(encKey.toStdString(), 3);
    os.write(encPubKey.toStdString(), 4);
    os.write(int32_t(uploadStrategy), 5);
    os.write(uploadServer.toStdString(), 6);
    os.write(int32_t(maxPkgSize), 7);
    os.write(int32_t(testCount), 8);
    os.write(int32_t(dbMaxSize), 9);
    os.write(enableSpeedTrack, 10);
    os.write(enableEventRecord, 11);
    os.write(enableCrashReport, 12);
    const auto& bytes = os.bytes();
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

bool LocalStrategy::setEncodeData(const QByteArray& data)
{
    if (data.isEmpty())
        return false;
    analyticsrov::KelInputStream is(reinterpret_cast<const uint8_t*>(data.constData()), size_t(data.size()));
    int32_t values[7] = {};
    std::string key, pubKey, server;
    is.read(values[0], 0, false);
    is.read(values[1], 1, false);
    is.read(values[2], 2, false);
    is.read(key, 3, false);
    is.read(pubKey, 4, false);
    is.read(values[3], 5, false);
    is.read(server, 6, false);
    is.read(values[4], 7, false);
    is.read(values[5], 8, false);
    is.read(values[6], 9, false);
    bool speed = false, event = false, crash = false;
    is.read(speed, 10, false);
    is.read(event, 11, false);
    is.read(crash, 12, false);
    setId(values[0]);
    zipAlg = values[1];
    encAlg = values[2];
    encKey = QString::fromStdString(key);
    encPubKey = QString::fromStdString(pubKey);
    uploadStrategy = values[3];
    uploadServer = QString::fromStdString(server);
    maxPkgSize = values[4];
    testCount = values[5];
    dbMaxSize = values[6];
    enableSpeedTrack = speed;
    enableEventRecord = event;
    enableCrashReport = crash;
    return true;
}
