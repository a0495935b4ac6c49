#include "analytics/AnaBundleUtil.h"

#include <QFileInfo>
#include <QHash>
#include <mutex>

namespace {

std::mutex g_mutex;

QHash<QString, QString>& values()
{
    static QHash<QString, QString> v = [] {
        QHash<QString, QString> d;
        d.insert("CFBundleIdentifier", "com.corvane.padolvo");
        d.insert("CFBundleName", "PadOlvo");
        d.insert("CFBundleVersion", PAV_VERSION);
        d.insert("CFBundleExecutable", QFileInfo("/proc/self/exe").symLinkTarget().section('/', -1));
#ifdef PAV_BUILD_UUID
        d.insert("com.corvane.vyt.uuid", PAV_BUILD_UUID);
#endif
        return d;
    }();
    return v;
}

}

QString AnaBundleUtil::value(const QString& key)
{
    std::lock_guard lock(g_mutex);
    return values().value(key);
}

void AnaBundleUtil::setValue(const QString& key, const QString& value)
{
    std::lock_guard lock(g_mutex);
    if (value.isNull())
        values().remove(key);
    else
        values().insert(key, value);
}

QString AnaBundleUtil::getBundleId() { return value("CFBundleIdentifier"); }
QString AnaBundleUtil::getBundleName() { return value("CFBundleName"); }
QString AnaBundleUtil::getBundleVersion() { return value("CFBundleVersion"); }
QString AnaBundleUtil::getBundleExe() { return value("CFBundleExecutable"); }
QString AnaBundleUtil::getVYTCIBuildUUID() { return value("com.corvane.vyt.uuid"); }
