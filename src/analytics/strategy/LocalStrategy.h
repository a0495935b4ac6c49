#pragma once

#include "analytics/AnalyticsPersistObject.h"

#include <QString>

#include <memory>

// The SDK's configuration, stored as the one record of type 100: the
// envelope's transformations and keys, where uploads go, batch sizes, when
// uploads happen, the store's row limit and the module switches.
class LocalStrategy : public AnalyticsPersistObject {
public:
    static constexpr int kType = 100;
    static constexpr const char* kSdkVersion = "1.5.0";

    LocalStrategy();

    int zipAlg = 2;
    int encAlg = 1;
    QString encKey;
    QString encPubKey;
    int uploadStrategy = 3;
    QString uploadServer;
    int maxPkgSize = 50;
    int testCount = 0;
    bool enableSpeedTrack = false;
    bool enableEventRecord = false;
    bool enableCrashReport = false;
    int dbMaxSize = 200;

    // Brings every field into its allowed range; a missing or unusable key
    // or address takes its default.
    void checkSafe();

    // The SDK build id: the 32-bit wrap-around sum of the string hashes of
    // the bundle version, the build UUID (each when present) and "1.5.0".
    static long getDefaultId();
    static QString getDefaultHash();
    static std::shared_ptr<LocalStrategy> getObjWithDefaultSet();
    // A stable 32-bit string hash (FNV-1a over UTF-8).
    static int32_t stringHash(const QString& text);

    QByteArray encodeData() const override;
    bool setEncodeData(const QByteArray& data) override;

    // An encipherment key is usable with at least 8 bytes.
    static bool isUsableKey(const QString& key);
};
