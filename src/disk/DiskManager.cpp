#include "disk/DiskManager.h"

DiskManager& DiskManager::shareDiskManager()
{
    static DiskManager manager;
    return manager;
}
