#pragma once

#include "analytics/AnaModelSnapshot.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <mutex>

// The SDK's description of the application, the device and itself. A null
// QString is nil. Getters copy out under a lock; every change also refreshes
// a fixed-buffer snapshot that the default model publishes for the crash
// writer (published()).
class AnaModel {
public:
    // What init reads from the bundle and the device (null = missing).
    struct Inputs {
        QString bundleId;
        QString bundleVersion;
        QString buildUuid;
        QString executable;
        QString modelName;
        QString systemName;
        QString systemVersion;

        static Inputs fromSystem();   // AnaBundleUtil and AnaDeviceUtil
    };

    explicit AnaModel(const Inputs& inputs);
    static AnaModel& getDefualtAnaModel();

    // The snapshot of the default model; null before it exists.
    // Async-signal-safe.
    static const AnaModelSnapshot* published();

    int platformId() const { return 2; }
    QString appId() const;
    QString appVersion() const;
    QString sdkId() const;
    QString sdkVersion() const;
    QString appVerbuild() const;
    QString hardwareOs() const;
    QString osVer() const;
    float osVerFloat() const;
    QString executeable() const;

    QString qua() const;
    void setQua(const QString& v);
    QString gatewayIP() const;
    void setGatewayIP(const QString& v);
    QString guid() const;
    void setGuid(const QString& v);
    QString reserved() const;
    void setReserved(const QString& v);
    QString apn() const;
    void setApn(const QString& v);
    QString contact() const;
    void setContact(const QString& v);
    int64_t serverTimeDelta() const;
    void setServerTimeDelta(int64_t seconds);
    bool gotServerTime() const;
    void setGotServerTime(bool v);
    uint32_t uin() const;

    // Reads a leading integer of qua (0 when none), stores it in uin.
    uint32_t getIntUin();

    const AnaModelSnapshot& snapshot() const;

private:
    void setText(QString& field, const QString& v);
    void refreshSnapshot();   // with m_mutex held
    void publish();

    mutable std::mutex m_mutex;
    QString m_appId, m_appVersion, m_sdkId, m_sdkVersion, m_appVerbuild;
    QString m_hardwareOs, m_osVer, m_executeable;
    float m_osVerFloat = 0;
    QString m_qua, m_gatewayIP, m_guid, m_reserved, m_apn, m_contact;
    int64_t m_serverTimeDelta = 0;
    bool m_gotServerTime = false;
    uint32_t m_uin = 0;

    AnaModelSnapshot m_slots[2];
    std::atomic<int> m_current{0};
    bool m_publishes = false;
};
