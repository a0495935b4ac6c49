#pragma once

#include "albums/store/DBOEncryptAlbumOp.h"

#include <condition_variable>
#include <memory>
#include <mutex>

// The private album's real index, whose batches of rows (a heal's rebuilt
// rows) wait until the test releases them, or half a minute at most.
class HeldIndex : public DBOEncryptAlbumOp {
public:
    // Over the database at path, its table made first.
    static std::unique_ptr<HeldIndex> open(const QString& path);
    using DBOEncryptAlbumOp::DBOEncryptAlbumOp;

    bool insertRecords(const PavPhotoModelList& models) override;
    // Whether a batch is waiting now.
    bool holding() const;
    void release();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_open = false;
    int m_waiting = 0;
};
