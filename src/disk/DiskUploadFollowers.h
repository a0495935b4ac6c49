#pragma once

#include "disk/DiskFile.h"

#include <QHash>
#include <QString>

#include <functional>
#include <mutex>
#include <vector>

// The store files whose blob an upload of this facade holds open, by file
// id, with the requests that came for the same file meanwhile: each of those
// hears the outcome of the upload under way instead of starting its own.
// Any thread; a follower is called on the holding upload's thread, after
// its own answer went out.
class DiskUploadFollowers {
public:
    // ret: the holding upload's result code; held: its file.
    using Follower = std::function<void(int ret, const DiskFilePtr& held)>;

    // An upload is about to open the file's blob (and holds it until
    // release()); false when another upload of this facade holds it.
    bool tryHold(const QString& fileId);
    // Adds a follower of the upload holding fileId; false when no upload of
    // this facade holds it (another process does, or it has just ended).
    bool follow(const QString& fileId, Follower follower);
    // The holding upload is over: its followers, taken out to be told.
    std::vector<Follower> release(const QString& fileId);

private:
    std::mutex m_mutex;
    QHash<QString, std::vector<Follower>> m_held;
};
