#include "platform/photolib/PhotoLibrary.h"

#include "platform/photolib/FolderPhotoLibrary.h"

#include <mutex>

namespace {
std::mutex g_sharedMutex;
std::shared_ptr<PhotoLibrary> g_shared;
}

std::shared_ptr<PhotoLibrary> PhotoLibrary::shared()
{
    std::lock_guard lock(g_sharedMutex);
    if (!g_shared)
        g_shared = std::make_shared<FolderPhotoLibrary>(FolderPhotoLibrary::defaultRoot());
    return g_shared;
}

void PhotoLibrary::setShared(std::shared_ptr<PhotoLibrary> library)
{
    std::lock_guard lock(g_sharedMutex);
    g_shared = std::move(library);
}

void PhotoLibrary::stopSharedSaves()
{
    std::shared_ptr<PhotoLibrary> library;
    {
        std::lock_guard lock(g_sharedMutex);
        library = g_shared;
    }
    if (library)
        library->stopSaves();
}
