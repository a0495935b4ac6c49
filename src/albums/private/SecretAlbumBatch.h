#pragma once

#include "albums/batch/BatchOutcome.h"
#include "albums/batch/BatchRunner.h"
#include "albums/private/SecretBatchSummary.h"
#include "albums/store/PavPhotoModel.h"

#include <QObject>

#include <functional>

class PavPhotoManager;

// The private album's two batches on the shared runner: moving items out
// (each item's original bytes are saved into the photo library, and the
// private copy is deleted only after that save succeeded) and deleting them.
// Items run in the order given. The store's cancel flag of a batch is cleared
// when it starts and when it ends; raised in between, it stops the batch
// before its next item like a stop request (checked as each item starts and
// again before it answers). The index is checkpointed as each batch ends.
class SecretAlbumBatch : public QObject {
    Q_OBJECT
public:
    using Kind = SecretBatchSummary::Kind;

    struct Listener {
        std::function<void(Kind kind, const BatchCounts& counts)> progressed;
        std::function<void(Kind kind, const BatchOutcome& outcome)> finished;
    };

    static constexpr const char* kMoveOutQueue = "SecretAlbumBatchDecryptQueue";
    static constexpr const char* kDeleteQueue = "SecretAlbumBatchDeleteQueue";
    // How long a stopped move-out waits for the save of its item in hand
    // (the application's clean exit waits as long).
    static constexpr int kStopGraceMs = 10000;

    explicit SecretAlbumBatch(PavPhotoManager& store, IdleTimer& idleTimer = IdleTimer::shared(),
                              QObject* parent = nullptr);
    ~SecretAlbumBatch() override;

    void setListener(Listener listener) { m_listener = std::move(listener); }

    // False (nothing starts) while a batch runs or with no items.
    bool start(Kind kind, const PavPhotoModelList& items);
    // Any thread; ignored when no batch runs.
    void stop(BatchStopReason reason);

    bool isRunning() const;
    Kind kind() const { return m_kind; }
    BatchRunner& runner(Kind kind) { return kind == Kind::MoveOut ? m_moveOut : m_delete; }

private:
    void setCancelFlag(Kind kind, bool value);
    bool cancelFlag(Kind kind) const;
    // True (and the runner is asked to stop) when the store's flag is up.
    bool stopIfCancelled(Kind kind);
    BatchRunner::ItemWork moveOutWork(const PavPhotoModelList& items);
    BatchRunner::ItemWork deleteWork(const PavPhotoModelList& items);

    PavPhotoManager& m_store;
    Listener m_listener;
    Kind m_kind = Kind::MoveOut;
    // Declared last: a runner waits for its item work, which uses the above.
    BatchRunner m_moveOut;
    BatchRunner m_delete;
};
