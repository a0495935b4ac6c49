#include "platform/core/AppHome.h"

#include <QDir>
#include <QMutex>
#include <QStandardPaths>

#include <memory>

namespace {
QMutex g_mutex;
std::unique_ptr<AppHome> g_current;
}

AppHome::AppHome(QString root) : m_root(QDir::cleanPath(root)) {}

QString AppHome::documents() const { return m_root + "/Documents"; }
QString AppHome::caches() const { return m_root + "/Library/Caches"; }
QString AppHome::preferences() const { return m_root + "/Library/Preferences"; }

bool AppHome::ensure() const
{
    QDir dir;
    return dir.mkpath(documents()) && dir.mkpath(caches()) && dir.mkpath(preferences());
}

QString AppHome::defaultRoot()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + "/.local/share";
    return base + "/PadOlvo";
}

const AppHome& AppHome::current()
{
    QMutexLocker lock(&g_mutex);
    if (!g_current) {
        g_current = std::make_unique<AppHome>(defaultRoot());
        g_current->ensure();
    }
    return *g_current;
}

void AppHome::setCurrent(const QString& root)
{
    QMutexLocker lock(&g_mutex);
    g_current = std::make_unique<AppHome>(root);
    g_current->ensure();
}
