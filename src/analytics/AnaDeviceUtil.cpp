#include "analytics/AnaDeviceUtil.h"

#include "platform/core/AppHome.h"
#include "platform/sys/UIDeviceEx.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QtDebug>
#include <atomic>
#include <mutex>
#include <sys/statvfs.h>
#include <sys/utsname.h>
#include <unistd.h>

namespace {

struct ModelRow {
    const char* identifier;
    int code;
    const char* name;
};

const ModelRow kModels[] = {
    {"iPhone1,1", 257, "iPhone 1G"},      {"iPhone1,2", 258, "iPhone 3G"},
    {"iPhone2,1", 259, "iPhone 3GS"},     {"iPhone3,1", 260, "iPhone 4"},
    {"iPhone3,2", 260, "iPhone 4"},       {"iPhone3,3", 261, "Verizon iPhone 4"},
    {"iPhone4,1", 262, "iPhone 4S"},      {"iPhone5,1", 263, "iPhone 5 (GSM)"},
    {"iPhone5,2", 264, "iPhone 5 (CDMA)"}, {"iPod1,1", 1025, "iPod Touch 1G"},
    {"iPod2,1", 1026, "iPod Touch 2G"},   {"iPod3,1", 1027, "iPod Touch 3G"},
    {"iPod4,1", 1028, "iPod Touch 4G"},   {"iPod5,1", 1029, "iPod Touch 5G"},
    {"iPad1,1", 513, "iPad"},             {"iPad2,1", 514, "iPad 2 (WiFi)"},
    {"iPad2,2", 515, "iPad 2 (GSM)"},     {"iPad2,3", 516, "iPad 2 (CDMA)"},
    {"iPad2,4", 517, "iPad 2 (CDMAS)"},   {"iPad2,5", 769, "iPad Mini (Wifi)"},
    {"iPad2,6", 770, "iPad Mini (GSM)"},  {"iPad2,7", 771, "iPad Mini (CDMA)"},
    {"iPad3,1", 518, "iPad 3 (WiFi)"},    {"iPad3,2", 520, "iPad 3 (CDMA)"},
    {"iPad3,3", 519, "iPad 3 (GSM)"},     {"iPad3,4", 772, "iPad 4 (WiFi)"},
    {"iPad3,5", 773, "iPad 4 (GSM)"},     {"iPad3,6", 774, "iPad 4 (CDMA)"},
    {"i386", 767, "iPad Simulator"},      {"x86_64", 767, "iPad Simulator"},
};

std::mutex g_mutex;
QString g_model;   // configured identifier
std::atomic<int> g_modelType{AnaDeviceUtil::kUnknownModel};
AnaDeviceUtil::CpuTicks g_ticks;

utsname systemName()
{
    utsname u{};
    uname(&u);
    return u;
}

QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

float freeBytes(const QString& path)
{
    struct statvfs s{};
    if (statvfs(QFile::encodeName(path).constData(), &s) != 0)
        return -1.0f;
    return float(double(s.f_frsize) * double(s.f_bfree));
}

}

void AnaDeviceUtil::setModel(const QString& identifier)
{
    std::lock_guard lock(g_mutex);
    g_model = identifier;
    g_modelType.store(kUnknownModel);
}

QString AnaDeviceUtil::model()
{
    {
        std::lock_guard lock(g_mutex);
        if (!g_model.isNull())
            return g_model;
    }
    return UIDeviceEx::model();
}

int AnaDeviceUtil::modelTypeFor(const QString& identifier, bool tabletIdiom)
{
    int code = kUnknownModel;
    for (const ModelRow& row : kModels) {
        if (identifier == QLatin1String(row.identifier))
            code = row.code;
    }
    if (code == 767 && !tabletIdiom)
        code = 511;
    return code;
}

QString AnaDeviceUtil::modelNameFor(int type, const QString& identifier)
{
    if (type == 511)
        return "iPhone Simulator";
    for (const ModelRow& row : kModels) {
        if (row.code == type)
            return QString::fromLatin1(row.name);
    }
    return identifier;
}

int AnaDeviceUtil::modelType()
{
    int cached = g_modelType.load();
    if (cached != kUnknownModel)
        return cached;
    // The desktop build always has the tablet layout.
    int code = modelTypeFor(model(), true);
    if (code != kUnknownModel)
        g_modelType.store(code);
    return code;
}

QString AnaDeviceUtil::modelName() { return modelNameFor(modelType(), model()); }

QString AnaDeviceUtil::getDeviceName()
{
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0)
        return QString();
    return QString::fromUtf8(name);
}

QString AnaDeviceUtil::getDeviceModel()
{
    QString product = QString::fromUtf8(readFile("/sys/class/dmi/id/product_name")).trimmed();
    return product.isEmpty() ? QString::fromUtf8(systemName().machine) : product;
}

QString AnaDeviceUtil::getOSName() { return QString::fromUtf8(systemName().sysname); }
QString AnaDeviceUtil::getOSModel() { return model(); }
QString AnaDeviceUtil::systemVersion() { return UIDeviceEx::systemVersion(); }

QString AnaDeviceUtil::buildFromOsRelease(const QByteArray& text)
{
    QString build, version;
    for (const QByteArray& raw : text.split('\n')) {
        QString line = QString::fromUtf8(raw).trimmed();
        QString value = line.section('=', 1).remove('"');
        if (line.startsWith("BUILD_ID="))
            build = value;
        else if (line.startsWith("VERSION_ID="))
            version = value;
    }
    return !build.isEmpty() ? build : (!version.isEmpty() ? version : QString(""));
}

QString AnaDeviceUtil::get_sys_buildver() { return buildFromOsRelease(readFile("/etc/os-release")); }

QString AnaDeviceUtil::osVersionText(const QString& version, const QString& build)
{
    return build.isEmpty() ? version : version + QString("(%1)").arg(build);
}

QString AnaDeviceUtil::getOSVersion() { return osVersionText(systemVersion(), get_sys_buildver()); }

double AnaDeviceUtil::getTime() { return QDateTime::currentMSecsSinceEpoch() / 1000.0; }

QString AnaDeviceUtil::getCurrentTime()
{
    return QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss");
}

float AnaDeviceUtil::getFreeSpace() { return freeBytes("/"); }
float AnaDeviceUtil::getFreeSDCard() { return freeBytes(AppHome::current().root()); }

float AnaDeviceUtil::getFreeMemory()
{
    long pages = sysconf(_SC_AVPHYS_PAGES);
    long size = sysconf(_SC_PAGESIZE);
    if (pages < 0 || size <= 0)
        return -1.0f;
    return float(double(pages) * double(size));
}

float AnaDeviceUtil::cpuUsageBetween(const CpuTicks& before, const CpuTicks& now)
{
    double busy = double(now.user - before.user) + double(now.system - before.system);
    double all = busy + double(now.idle - before.idle) + double(now.nice - before.nice);
    return all <= 0 ? 0.0f : float(busy / all * 100.0);
}

float AnaDeviceUtil::getCpuUsage()
{
    QByteArray stat = readFile("/proc/stat");
    QList<QByteArray> f = stat.left(stat.indexOf('\n')).simplified().split(' ');
    if (f.size() < 5 || f[0] != "cpu") {
        qWarning("Failed to fetch vm statistics");
        return -1.0f;
    }
    CpuTicks now{f[1].toULongLong(), f[3].toULongLong(), f[4].toULongLong(), f[2].toULongLong()};
    std::lock_guard lock(g_mutex);
    float usage = cpuUsageBetween(g_ticks, now);
    g_ticks = now;
    return usage;
}

int AnaDeviceUtil::batteryPercent(double level) { return int(level * 100); }

int AnaDeviceUtil::getBatteryLevel()
{
    QDir dir("/sys/class/power_supply");
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (readFile(dir.filePath(name + "/type")).trimmed() != "Battery")
            continue;
        bool ok = false;
        int capacity = readFile(dir.filePath(name + "/capacity")).trimmed().toInt(&ok);
        if (ok)
            return batteryPercent(capacity / 100.0);
    }
    return batteryPercent(-1.0);
}

bool AnaDeviceUtil::isArmV6()
{
    int t = modelType();
    return t == 257 || t == 258 || t == 1025 || t == 1026;
}

float AnaDeviceUtil::leadingFloat(const QString& text)
{
    static const QRegularExpression number(R"(^\s*[+-]?(\d+(\.\d*)?|\.\d+))");
    QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? QLocale::c().toFloat(m.captured(0).trimmed()) : 0.0f;
}

bool AnaDeviceUtil::isOS3() { return leadingFloat(systemVersion()) < 4.0f; }
