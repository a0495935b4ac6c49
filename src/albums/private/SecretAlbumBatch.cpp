#include "albums/private/SecretAlbumBatch.h"

#include "albums/store/PavPhotoManager.h"

SecretAlbumBatch::SecretAlbumBatch(PavPhotoManager& store, IdleTimer& idleTimer, QObject* parent)
    : QObject(parent), m_store(store), m_moveOut(kMoveOutQueue, idleTimer), m_delete(kDeleteQueue, idleTimer)
{
    for (Kind kind : {Kind::MoveOut, Kind::Delete}) {
        BatchCallbacks callbacks;
        callbacks.progress = [this, kind](const BatchCounts& counts) {
            if (m_listener.progressed)
                m_listener.progressed(kind, counts);
        };
        callbacks.finished = [this, kind](const BatchOutcome& outcome) {
            setCancelFlag(kind, false);
            m_store.checkpointIndex();
            if (m_listener.finished)
                m_listener.finished(kind, outcome);
        };
        runner(kind).setReceiver(this, std::move(callbacks));
    }
    m_moveOut.setStopGraceMs(kStopGraceMs);
}

SecretAlbumBatch::~SecretAlbumBatch() = default;

bool SecretAlbumBatch::isRunning() const
{
    return m_moveOut.isRunning() || m_delete.isRunning();
}

void SecretAlbumBatch::setCancelFlag(Kind kind, bool value)
{
    if (kind == Kind::MoveOut)
        m_store.setNeedDecryptionCancel(value);
    else
        m_store.setNeedDeletionCancel(value);
}

bool SecretAlbumBatch::cancelFlag(Kind kind) const
{
    return kind == Kind::MoveOut ? m_store.needDecryptionCancel() : m_store.needDeletionCancel();
}

bool SecretAlbumBatch::start(Kind kind, const PavPhotoModelList& items)
{
    if (isRunning() || items.isEmpty())
        return false;
    m_kind = kind;
    setCancelFlag(kind, false);
    BatchRunner::ItemWork work = kind == Kind::MoveOut ? moveOutWork(items) : deleteWork(items);
    return runner(kind).start(static_cast<unsigned>(items.size()), std::move(work));
}

void SecretAlbumBatch::stop(BatchStopReason reason)
{
    m_moveOut.requestStop(reason);
    m_delete.requestStop(reason);
}

bool SecretAlbumBatch::stopIfCancelled(Kind kind)
{
    // A flag raised by the shell (the background) stops the batch before its
    // next item; the item in flight when it rose still completes.
    if (!cancelFlag(kind))
        return false;
    runner(kind).requestStop(BatchStopReason::Background);
    return true;
}

BatchRunner::ItemWork SecretAlbumBatch::moveOutWork(const PavPhotoModelList& items)
{
    PavPhotoManager* store = &m_store;
    QObject* target = this;
    return [this, store, target, items](BatchCompletion item) {
        if (stopIfCancelled(Kind::MoveOut)) {
            item.fail();  // not touched: it stays in the album
            return;
        }
        const PavPhotoModelPtr curDecryptPhoto = items.at(static_cast<qsizetype>(item.index()));
        store->decryptPhoto(curDecryptPhoto, target, [this, store, item](const PavPhotoModelPtr& model, const QString& error) mutable {
            // Checked before the answer, so the runner sees the stop first.
            stopIfCancelled(Kind::MoveOut);
            if (!error.isEmpty()) {
                item.fail();  // not saved: the item stays in the album
                return;
            }
            item.finish(store->deleteMovedPhoto(*model));
        });
    };
}

BatchRunner::ItemWork SecretAlbumBatch::deleteWork(const PavPhotoModelList& items)
{
    PavPhotoManager* store = &m_store;
    return [this, store, items](BatchCompletion item) {
        if (stopIfCancelled(Kind::Delete)) {
            item.fail();
            return;
        }
        const PavPhotoModelPtr photo = items.at(static_cast<qsizetype>(item.index()));
        const bool deleted = store->deletePhoto(*photo);
        stopIfCancelled(Kind::Delete);
        item.finish(deleted);
    };
}
