#pragma once

#include "disk/DiskUser.h"

#include <memory>

// The cloud-disk facade. Nobody is signed in yet: current_user() is null.
class DiskManager {
public:
    static DiskManager& shareDiskManager();

    std::shared_ptr<DiskUser> current_user() const { return m_currentUser; }

private:
    std::shared_ptr<DiskUser> m_currentUser;
};
