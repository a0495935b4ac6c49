#include "analytics/AnaModel.h"

#include "analytics/AnaBundleUtil.h"
#include "analytics/AnaDeviceUtil.h"

#include <QRegularExpression>
#include <climits>
#include <cstring>

namespace {

std::atomic<const AnaModelSnapshot*> g_published{nullptr};

QString orNil(const QString& v) { return v.isNull() ? QString("nil") : v; }

void copyText(AnaModelSnapshot::Text& out, const QString& v)
{
    out.has = !v.isNull();
    QByteArray utf8 = v.toUtf8();
    size_t n = std::min<size_t>(utf8.size(), AnaModelSnapshot::kTextSize - 1);
    std::memcpy(out.text, utf8.constData(), n);
    out.text[n] = '\0';
}

}

AnaModel::Inputs AnaModel::Inputs::fromSystem()
{
    Inputs in;
    in.bundleId = AnaBundleUtil::getBundleId();
    in.bundleVersion = AnaBundleUtil::getBundleVersion();
    in.buildUuid = AnaBundleUtil::getVYTCIBuildUUID();
    in.executable = AnaBundleUtil::getBundleExe();
    in.modelName = AnaDeviceUtil::modelName();
    in.systemName = AnaDeviceUtil::getOSName();
    in.systemVersion = AnaDeviceUtil::systemVersion();
    return in;
}

AnaModel::AnaModel(const Inputs& in)
    : m_appId(orNil(in.bundleId))
    , m_appVersion(orNil(in.bundleVersion))
    , m_sdkId("corvane.pav.analytics")
    , m_sdkVersion("1.5.0")
    , m_appVerbuild(in.buildUuid.isEmpty() ? QString("") : in.buildUuid)
    , m_hardwareOs(QString("%1;%2%3").arg(orNil(in.modelName), orNil(in.systemName), orNil(in.systemVersion)))
    , m_osVer(in.systemVersion)
    , m_executeable(in.executable.left(16))
    , m_osVerFloat(AnaDeviceUtil::leadingFloat(in.systemVersion))
    , m_qua("10000")
    , m_gatewayIP("unknown")
{
    std::lock_guard lock(m_mutex);
    refreshSnapshot();
}

AnaModel& AnaModel::getDefualtAnaModel()
{
    static AnaModel* model = [] {
        auto* m = new AnaModel(Inputs::fromSystem());   // kept for the process
        std::lock_guard lock(m->m_mutex);
        m->m_publishes = true;
        m->publish();
        return m;
    }();
    return *model;
}

const AnaModelSnapshot* AnaModel::published() { return g_published.load(std::memory_order_acquire); }

void AnaModel::refreshSnapshot()
{
    // Fill the slot not being read, then switch to it.
    int next = 1 - m_current.load(std::memory_order_relaxed);
    AnaModelSnapshot& s = m_slots[next];
    copyText(s.appId, m_appId);
    copyText(s.appVersion, m_appVersion);
    copyText(s.sdkId, m_sdkId);
    copyText(s.sdkVersion, m_sdkVersion);
    copyText(s.appVerbuild, m_appVerbuild);
    copyText(s.hardwareOs, m_hardwareOs);
    copyText(s.qua, m_qua);
    copyText(s.guid, m_guid);
    copyText(s.apn, m_apn);
    copyText(s.contact, m_contact);
    s.serverTimeDelta = m_serverTimeDelta;
    m_current.store(next, std::memory_order_release);
    publish();
}

void AnaModel::publish()
{
    if (m_publishes)
        g_published.store(&m_slots[m_current.load()], std::memory_order_release);
}

const AnaModelSnapshot& AnaModel::snapshot() const { return m_slots[m_current.load(std::memory_order_acquire)]; }

void AnaModel::setText(QString& field, const QString& v)
{
    std::lock_guard lock(m_mutex);
    field = v;
    refreshSnapshot();
}

#define PAV_GETTER(type, name, member)       \
    type AnaModel::name() const              \
    {                                        \
        std::lock_guard lock(m_mutex);       \
        return member;                       \
    }
PAV_GETTER(QString, appId, m_appId)
PAV_GETTER(QString, appVersion, m_appVersion)
PAV_GETTER(QString, sdkId, m_sdkId)
PAV_GETTER(QString, sdkVersion, m_sdkVersion)
PAV_GETTER(QString, appVerbuild, m_appVerbuild)
PAV_GETTER(QString, hardwareOs, m_hardwareOs)
PAV_GETTER(QString, osVer, m_osVer)
PAV_GETTER(float, osVerFloat, m_osVerFloat)
PAV_GETTER(QString, executeable, m_executeable)
PAV_GETTER(QString, qua, m_qua)
PAV_GETTER(QString, gatewayIP, m_gatewayIP)
PAV_GETTER(QString, guid, m_guid)
PAV_GETTER(QString, reserved, m_reserved)
PAV_GETTER(QString, apn, m_apn)
PAV_GETTER(QString, contact, m_contact)
PAV_GETTER(int64_t, serverTimeDelta, m_serverTimeDelta)
PAV_GETTER(bool, gotServerTime, m_gotServerTime)
PAV_GETTER(uint32_t, uin, m_uin)
#undef PAV_GETTER

void AnaModel::setQua(const QString& v) { setText(m_qua, v); }
void AnaModel::setGatewayIP(const QString& v) { setText(m_gatewayIP, v); }
void AnaModel::setGuid(const QString& v) { setText(m_guid, v); }
void AnaModel::setReserved(const QString& v) { setText(m_reserved, v); }
void AnaModel::setApn(const QString& v) { setText(m_apn, v); }
void AnaModel::setContact(const QString& v) { setText(m_contact, v); }

void AnaModel::setServerTimeDelta(int64_t seconds)
{
    std::lock_guard lock(m_mutex);
    m_serverTimeDelta = seconds;
    refreshSnapshot();
}

void AnaModel::setGotServerTime(bool v)
{
    std::lock_guard lock(m_mutex);
    m_gotServerTime = v;
}

uint32_t AnaModel::getIntUin()
{
    std::lock_guard lock(m_mutex);
    // Like a scanner's int: blanks, an optional sign, digits, clamped to int.
    static const QRegularExpression leading(R"(^\s*([+-]?\d+))");
    QRegularExpressionMatch m = leading.match(m_qua);
    long long value = 0;
    if (m.hasMatch()) {
        bool ok = false;
        value = m.captured(1).toLongLong(&ok);
        if (!ok)
            value = m.captured(1).startsWith('-') ? INT_MIN : INT_MAX;
        value = std::clamp<long long>(value, INT_MIN, INT_MAX);
    }
    m_uin = uint32_t(int32_t(value));
    return m_uin;
}
