#include "platform/photolib/KyAssetsLibrary.h"

#include "platform/core/AppHome.h"
#include "platform/core/MainThread.h"
#include "platform/photolib/FolderAssetsLibrary.h"

#include <mutex>

namespace {
std::mutex g_mutex;
QString g_root;
}

KyAssetsLibrary& KyAssetsLibrary::shareAssetsLibrary()
{
    static KyAssetsLibrary instance;
    return instance;
}

void KyAssetsLibrary::setDefaultRoot(const QString& root)
{
    std::lock_guard lock(g_mutex);
    g_root = root;
}

QString KyAssetsLibrary::defaultRoot()
{
    std::lock_guard lock(g_mutex);
    return g_root.isEmpty() ? FolderPhotoLibrary::defaultRoot() : g_root;
}

std::shared_ptr<AssetsLibrary> KyAssetsLibrary::library()
{
    {
        std::lock_guard lock(g_mutex);
        if (m_library)
            return m_library;
    }
    // The folder library watches its folder from the main thread.
    MainThread::postAndWait([this] {
        bool missing;
        {
            std::lock_guard lock(g_mutex);
            missing = !m_library;
        }
        if (missing)
            setLibrary(FolderAssetsLibrary::open(defaultRoot(), AppHome::current().caches()));
    });
    std::lock_guard lock(g_mutex);
    return m_library;
}

void KyAssetsLibrary::setLibrary(std::shared_ptr<AssetsLibrary> library)
{
    std::lock_guard lock(g_mutex);
    QObject::disconnect(m_changed);
    m_library = std::move(library);
    if (m_library) {
        m_changed = QObject::connect(m_library.get(), &AssetsLibrary::changed, [] {
            NotificationCenter::defaultCenter().post(kChangedNotification);
        });
    }
    PhotoLibrary::setShared(m_library);
}
