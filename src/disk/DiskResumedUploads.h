#pragma once

#include "disk/DiskManagerDelegate.h"
#include "platform/core/NotificationCenter.h"

#include <functional>

// The response object of the uploads an earlier run left unfinished and
// this run takes up: each one that completes is told to the observers, on
// the main thread, by the key of its folder (nobody else hears of it).
class DiskResumedUploads : public DiskManagerDelegate {
public:
    using Observer = std::function<void(const QString& dirKey)>;

    [[nodiscard]] ObserverToken addObserver(Observer observer);

    void fileUploadSuccess(const DiskFilePtr& file) override;

private:
    NotificationCenter m_observers;
};
