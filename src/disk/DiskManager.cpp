#include "disk/DiskManager.h"

#include "disk/DiskDigest.h"
#include "disk/DiskFileCache.h"
#include "disk/DiskFileHelper.h"
#include "disk/DiskLoginModel.h"
#include "disk/DiskStore.h"
#include "disk/DiskStoreUpload.h"
#include "disk/DiskUploadResume.h"
#include "disk/DiskUploadSource.h"
#include "disk/DiskWorkQueue.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Localization.h"
#include "platform/core/MainThread.h"
#include "platform/core/ThreadHooks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>

#include <sys/mman.h>
#include <unistd.h>

namespace {

float percentOf(qint64 done, qint64 total)
{
    return total > 0 ? float(double(done) * 100.0 / double(total)) : 100.0f;
}

}

DiskManager& DiskManager::shareDiskManager()
{
    static QMutex mutex;
    QMutexLocker lock(&mutex);
    static DiskManager manager([] { return DiskStore::shared(); },
                               [] { return DiskLoginModel::sharedInstance().sessionKey(); });
    // Its workers write to the store and the file cache, which are torn down
    // after main returns: they stop when the event loop ends (a closed window,
    // SIGTERM), a stopped upload staying to be resumed at the next sign-in.
    static const bool stopsAtQuit = [] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QObject::connect(app, &QCoreApplication::aboutToQuit, [] { manager.shutdown(); });
        return true;
    }();
    (void)stopsAtQuit;
    return manager;
}

void DiskManager::setDiskRoot(const QString& root)
{
    DiskStore::setDefaultRoot(root);
}

DiskManager::DiskManager(const QString& storeRoot, const Clock* clock, SessionKeyProvider sessionKey)
    : DiskManager(
          [storeRoot, clock, opened = std::make_shared<std::shared_ptr<DiskStore>>(),
           mutex = std::make_shared<QMutex>()] {
              QMutexLocker lock(mutex.get());
              if (!*opened)
                  *opened = DiskStore::open(storeRoot, clock);
              return *opened;
          },
          std::move(sessionKey))
{
}

DiskManager::DiskManager(StoreProvider store, SessionKeyProvider sessionKey)
    : m_store(std::move(store)), m_sessionKey(std::move(sessionKey)),
      m_uploads(std::make_unique<DiskWorkQueue>("DiskUpload", 2)),
      m_downloads(std::make_unique<DiskWorkQueue>("DiskDownload", 2)),
      m_thumbnails(std::make_unique<DiskWorkQueue>("DiskThumbnail", 2)),
      m_listing(std::make_unique<DiskWorkQueue>("DiskListing", 1)),
      m_commands(std::make_unique<DiskWorkQueue>("DiskCommand", 4))
{
}

DiskManager::~DiskManager()
{
    // Stop and join the workers before the members they use go away.
    shutdown();
}

void DiskManager::shutdown()
{
    for (DiskWorkQueue* queue : {m_commands.get(), m_listing.get(), m_thumbnails.get(), m_downloads.get(),
                                 m_uploads.get()})
        queue->close();
}

std::shared_ptr<DiskStore> DiskManager::store() const
{
    return m_store ? m_store() : nullptr;
}

QString DiskManager::keyOf(const DiskFilePtr& file)
{
    return QString::number(quintptr(file.get()), 16);
}

void DiskManager::answer(const Response& response, Answer fn)
{
    answerWith(response, {}, std::move(fn));
}

void DiskManager::answerWith(const Response& response, std::function<void(DiskManager&)> before, Answer fn)
{
    // Answers still on their way when the facade goes away are dropped.
    MainThread::post([this, alive = std::weak_ptr<char>(m_alive), response, before = std::move(before),
                      fn = std::move(fn)] {
        if (alive.expired())
            return;
        if (before)
            before(*this);
        if (DiskManagerDelegate* r = response.get())
            fn(r);
    });
}

void DiskManager::showErrorAlert(DiskManagerDelegate* response, const QString& message)
{
    if (m_errorSink && response && response->canShowErrorAlert() && !message.isEmpty())
        m_errorSink(message);
}

void DiskManager::failed(DiskManagerDelegate* response, const DiskError& error, bool alert)
{
    if (error.code == DiskStoreRet::kNeedLogin)
        response->fileRequireLogin();
    if (alert)
        showErrorAlert(response, error.message);
}

bool DiskManager::isRootDir(const DiskDirPtr& dir) const
{
    return dir && m_currentUser && m_currentUser->root_dir()
        && dir->dir_key() == m_currentUser->root_dir()->dir_key();
}

// ---- account, listing, folders ----

void DiskManager::requestQueryUser(DiskManagerDelegate* response)
{
    const Response r(response);
    m_commands->enqueue(
        "query_user",
        [this, r](const std::atomic<bool>&) {
            DiskStoreAccount account;
            const std::shared_ptr<DiskStore> s = store();
            const int ret = s ? s->queryAccount(m_sessionKey(), &account) : DiskErrorCode::kNoStore;
            if (ret != DiskStoreRet::kOk) {
                const DiskError error = diskErrorFor(ret);
                answer(r, [this, error](DiskManagerDelegate* d) {
                    failed(d, error, true);
                    d->fileDidQueryUserUserInfoFail(m_currentUser, error);
                });
                return;
            }
            auto user = std::make_shared<DiskUser>();
            user->setUin(account.uin);
            user->setRoot_key(account.rootKey);
            user->setRoot_dir(std::make_shared<DiskDir>(QString(), account.rootKey));
            user->setUsed_space(account.usedSpace);
            user->setTotal_space(account.totalSpace);
            answerWith(r,
                       [user, uin = account.uin](DiskManager& m) {
                           m.m_currentUser = user;
                           // Uploads an earlier run left unfinished go on (or are cleaned up)
                           // once their account is known.
                           if (!m.m_resumedAccounts.contains(uin)) {
                               m.m_resumedAccounts.insert(uin);
                               DiskUploadResume::run(m, DiskFileCache::shared(), uin, &m.m_resumedUploads);
                           }
                       },
                       [user](DiskManagerDelegate* d) { d->fileDidQueryUserUserInfo(user); });
        },
        {});
}

void DiskManager::requestQueryDir(const DiskDirPtr& dir, DiskManagerDelegate* response)
{
    const Response r(response);
    m_listing->enqueue("list", [this, dir, r](const std::atomic<bool>&) { listBody(dir, r); }, {});
}

void DiskManager::listBody(const DiskDirPtr& dir, const Response& response)
{
    QList<DiskStoreDir> dirRows;
    QList<DiskStoreFile> fileRows;
    DiskStoreAccount account;
    const std::shared_ptr<DiskStore> s = store();
    const QString skey = m_sessionKey();
    int ret = !s ? DiskErrorCode::kNoStore : !dir ? DiskStoreRet::kNotFound : s->listDir(skey, dir->dir_key(), &dirRows, &fileRows);
    const bool haveAccount = ret == DiskStoreRet::kOk && s->queryAccount(skey, &account) == DiskStoreRet::kOk;
    if (ret != DiskStoreRet::kOk) {
        const DiskError error = diskErrorFor(ret);
        answer(response, [this, dir, error](DiskManagerDelegate* d) {
            failed(d, error, true);
            d->fileDidQueryDirListFail(dir, error.message);
        });
        return;
    }
    QList<DiskDirPtr> dirs;
    for (const DiskStoreDir& row : dirRows) {
        auto d = std::make_shared<DiskDir>(row.name, row.key, dir);
        d->setDir_ctime(QDateTime::fromMSecsSinceEpoch(row.ctime, Qt::UTC));
        dirs.append(d);
    }
    QList<DiskFilePtr> files;
    for (const DiskStoreFile& row : fileRows) {
        auto f = std::make_shared<DiskFile>();
        f->setFile_id(row.fileId);
        f->setFile_name(row.name);
        f->setFile_path(DiskFile::localPathFor(row.fileId, row.name));
        f->setFile_size(row.size);
        f->setFile_cur_size(row.curSize);
        f->setFile_ctime(QDateTime::fromMSecsSinceEpoch(row.ctime, Qt::UTC));
        f->setExtType(DiskFileHelper::fileExtensionTypeFrom(row.name));
        f->setDigests(row.sha1, row.md5);
        f->setFatherDir(dir);
        files.append(f);
    }
    // Which answer it is depends on current_user, read on the main thread.
    answerWith(
        response,
        [haveAccount, account](DiskManager& m) {
            if (haveAccount && m.m_currentUser && m.m_currentUser->uin() == account.uin) {
                m.m_currentUser->setUsed_space(account.usedSpace);
                m.m_currentUser->setTotal_space(account.totalSpace);
            }
        },
        [this, dir, files, dirs](DiskManagerDelegate* d) {
            if (isRootDir(dir))
                d->fileDidQueryDirListRootDir(dir, files, dirs);
            else
                d->fileDidQueryDirListSuccess(dir, files, dirs);
        });
}

void DiskManager::requestMakeDir(const QString& name, const DiskDirPtr& fatherDir, DiskManagerDelegate* callback)
{
    const Response r(callback);
    m_commands->enqueue(
        "make_dir",
        [this, name, fatherDir, r](const std::atomic<bool>&) {
            DiskStoreDir row;
            const std::shared_ptr<DiskStore> s = store();
            const int ret = !s ? DiskErrorCode::kNoStore
                : !fatherDir   ? DiskStoreRet::kNotFound
                               : s->makeDir(m_sessionKey(), fatherDir->dir_key(), name, &row);
            if (ret != DiskStoreRet::kOk) {
                const DiskError error = diskErrorFor(ret);
                answer(r, [this, error](DiskManagerDelegate* d) {
                    failed(d, error, true);
                    d->fileMakeDirFailWithErrorCode(error);
                });
                return;
            }
            auto made = std::make_shared<DiskDir>(row.name, row.key, fatherDir);
            made->setDir_ctime(QDateTime::fromMSecsSinceEpoch(row.ctime, Qt::UTC));
            answer(r, [made](DiskManagerDelegate* d) { d->fileMakeDirSuccess(made); });
        },
        {});
}

// ---- transfers ----

DiskWorkQueue& DiskManager::queueOf(Transfer kind)
{
    return kind == Transfer::Upload ? *m_uploads : kind == Transfer::Download ? *m_downloads : *m_thumbnails;
}

void DiskManager::deliverFail(Transfer kind, const DiskFilePtr& file, const Response& response, const DiskError& error)
{
    answer(response, [this, kind, file, error](DiskManagerDelegate* d) {
        failed(d, error, false);
        if (kind == Transfer::Upload)
            d->fileUploadFailWithError(file, error);
        else if (kind == Transfer::Download)
            d->fileDonwloadFail(file, error);
        else
            d->thumbnailDonwloadFail(file, error);
    });
}

void DiskManager::enqueueTransfer(Transfer kind, const DiskFilePtr& file, const Response& response)
{
    queueOf(kind).enqueue(
        keyOf(file),
        [this, kind, file, response](const std::atomic<bool>& stop) {
            if (kind == Transfer::Upload)
                uploadBody(file, response, stop);
            else if (kind == Transfer::Download)
                downloadBody(file, response, stop);
            else
                thumbnailBody(file, response, stop);
        },
        [this, kind, file, response] { deliverFail(kind, file, response, diskErrorFor(DiskErrorCode::kStopped)); });
}

// ---- uploads ----

void DiskManager::requestUploadFile(const DiskFilePtr& file, DiskManagerDelegate* response)
{
    const Response r(response);
    if (!file)
        return;
    if (!file->fatherDir() || isRootDir(file->fatherDir())) {
        // Refused before anything starts; the refusal is the terminal answer.
        const DiskError error = diskErrorFor(DiskErrorCode::kRootFolder);
        showErrorAlert(response, error.message);
        deliverFail(Transfer::Upload, file, r, error);
        return;
    }
    enqueueTransfer(Transfer::Upload, file, r);
}

void DiskManager::requestStopUploadFile(const DiskFilePtr& file)
{
    if (file)
        m_uploads->stop(keyOf(file));
}

void DiskManager::uploadBody(const DiskFilePtr& file, const Response& response, const std::atomic<bool>& stop)
{
    const std::shared_ptr<DiskStore> s = store();
    const QString skey = m_sessionKey();
    for (int attempt = 0;; ++attempt) {
        QString held;
        const int ret = s ? sendUpload(*s, skey, file, response, stop, &held) : DiskErrorCode::kNoStore;
        const bool busy = ret == DiskStoreRet::kBusy && !file->isDiscarded();
        if (busy && attempt == 0) {
            const int running = m_uploads->count();
            answer(response, [running](DiskManagerDelegate* d) { d->fileUploadRunning(running); });
        }
        if (busy && held.isEmpty()) {
            // Another upload of this facade holds the file: this request hears its outcome.
            if (m_uploadFollowers.follow(file->file_id(), followerOf(file, response)))
                return;
            // That one ended just now: a second try finds the file as it left it.
            if (attempt == 0)
                continue;
        }
        endUpload(s.get(), skey, file, response, ret);
        for (const DiskUploadFollowers::Follower& follower : m_uploadFollowers.release(held))
            follower(ret, file);
        return;
    }
}

void DiskManager::endUpload(DiskStore* s, const QString& skey, const DiskFilePtr& file, const Response& response,
                            int ret)
{
    if (ret == DiskStoreRet::kOk) {
        DiskFileCache::shared().remove(*file);
        return answer(response, [file](DiskManagerDelegate* d) { d->fileUploadSuccess(file); });
    }
    // A stopped upload stays, to be resumed, and so does one that another
    // upload is writing (a copy of this home resuming it); one that failed
    // takes what it stored with it, as long as that is unfinished. One whose
    // file was deleted meanwhile goes whole: the user asked for that.
    if ((ret != DiskErrorCode::kStopped && ret != DiskStoreRet::kBusy) || file->isDiscarded()) {
        const QString id = file->file_id();
        bool complete = false;
        const int removed = !s || id.isEmpty() ? DiskStoreRet::kOk
            : file->isDiscarded()               ? s->deleteFile(skey, id)
                                                : s->deleteUnfinished(skey, id, &complete);
        if (removed == DiskStoreRet::kOk || removed == DiskStoreRet::kNotFound) {
            if (!complete) {
                file->setFile_id(QString());
                file->setFile_cur_size(0);
            }
            DiskFileCache::shared().discard(*file);
        }
    }
    deliverFail(Transfer::Upload, file, response, diskErrorFor(ret));
}

DiskUploadFollowers::Follower DiskManager::followerOf(const DiskFilePtr& file, const Response& response)
{
    return [this, file, response](int ret, const DiskFilePtr& held) {
        if (held != file) {
            // Another object for the same stored file: it learns what the upload made of it.
            file->setFile_id(held->file_id());
            file->setFile_cur_size(held->file_cur_size());
            file->setDigests(held->sha1(), held->md5());
            if (ret == DiskStoreRet::kOk)
                DiskFileCache::shared().remove(*file);
        }
        if (ret == DiskStoreRet::kOk)
            return answer(response, [file](DiskManagerDelegate* d) { d->fileUploadSuccess(file); });
        deliverFail(Transfer::Upload, file, response, diskErrorFor(ret));
    };
}

int DiskManager::sendUpload(DiskStore& s, const QString& skey, const DiskFilePtr& file, const Response& response,
                            const std::atomic<bool>& stop, QString* heldId)
{
    DiskStoreFile stored;
    if (!file->file_id().isEmpty()) {
        // The store's row first: a file it holds whole is uploaded, whatever
        // became of the source since.
        if (const int ret = s.fileInfo(skey, file->file_id(), &stored); ret != DiskStoreRet::kOk)
            return ret;
        if (stored.curSize == stored.size) {
            file->setFile_cur_size(stored.size);
            file->setDigests(stored.sha1, stored.md5.isEmpty() ? file->md5() : stored.md5);
            return DiskStoreRet::kOk;
        }
    }
    const std::unique_ptr<QIODevice> source = DiskUploadSource::open(file->uploadSource());
    if (!source || source->size() != file->file_size())
        return DiskErrorCode::kSourceUnreadable;
    if (stop)
        return DiskErrorCode::kStopped;
    if (file->file_id().isEmpty()) {
        // The store takes the SHA-1 as the bytes pass; a digest the file
        // already carries is what they must match.
        if (const int ret = s.registerFile(skey, file->fatherDir()->dir_key(), file->file_name(), file->file_size(),
                                           file->sha1(), file->md5(), &stored);
            ret != DiskStoreRet::kOk)
            return ret;
        file->setFile_id(stored.fileId);
        DiskFileCache::shared().updateFileId(*file, stored.uin);
    }
    // Held before the blob is opened: opening reads back what the blob
    // holds, and a request for the file meanwhile follows this upload.
    if (!m_uploadFollowers.tryHold(file->file_id()))
        return DiskStoreRet::kBusy;
    *heldId = file->file_id();
    std::unique_ptr<DiskStoreUpload> upload;
    const auto checking = [&](qint64 read) {
        if (m_resumeCheckObserver)
            m_resumeCheckObserver(file, read);
        return !stop && !file->isDiscarded();
    };
    if (const int ret = s.openUpload(skey, file->file_id(), &upload, checking); ret != DiskStoreRet::kOk)
        return ret == DiskStoreRet::kStopped ? DiskErrorCode::kStopped : ret;
    // One pass over the source: read, (hashed by the store) written.
    QByteArray chunk(int(kChunkSize), Qt::Uninitialized);
    auto readChunk = [&](qint64 length) {
        return source->read(chunk.data(), length) == length;
    };
    qint64 done = upload->size();
    // An upload goes on only over the same bytes it began with.
    if (done > 0) {
        DiskDigest held;
        for (qint64 n = 0; n < done;) {
            // A quit or a stop need not wait for gigabytes to be read back.
            const qint64 length = std::min<qint64>(kChunkSize, done - n);
            if (!readChunk(length))
                return DiskErrorCode::kSourceUnreadable;
            held.update(chunk.constData(), length);
            n += length;
            if (!checking(n))
                return DiskErrorCode::kStopped;
        }
        if (!held.matches(upload->heldSha1()))
            return DiskStoreRet::kBadDigest;
    }
    file->setFile_cur_size(done);
    while (done < file->file_size()) {
        if (stop || file->isDiscarded()) {
            // What went through is kept for the resume.
            upload->flush();
            return DiskErrorCode::kStopped;
        }
        const qint64 length = std::min<qint64>(kChunkSize, file->file_size() - done);
        if (!readChunk(length))
            return DiskErrorCode::kSourceUnreadable;
        if (const int ret = upload->append(QByteArray::fromRawData(chunk.constData(), length));
            ret != DiskStoreRet::kOk)
            return ret;
        done = upload->size();
        file->setFile_cur_size(done);
        if (m_chunkObserver)
            m_chunkObserver(file, done);
        const float percent = percentOf(done, file->file_size());
        answer(response, [file, percent](DiskManagerDelegate* d) { d->fileUploading(percent, file); });
    }
    file->setDigests(upload->file().sha1, file->md5());
    return DiskStoreRet::kOk;
}

// ---- downloads ----

void DiskManager::requestDownloadFile(const DiskFilePtr& file, DiskManagerDelegate* response)
{
    const Response r(response);
    if (!file)
        return;
    if (file->file_cur_size() != file->file_size())
        return deliverFail(Transfer::Download, file, r, diskErrorFor(DiskErrorCode::kIncomplete));
    enqueueTransfer(Transfer::Download, file, r);
}

void DiskManager::requestStopDownloadFile(const DiskFilePtr& file)
{
    if (file)
        m_downloads->stop(keyOf(file));
}

void DiskManager::downloadBody(const DiskFilePtr& file, const Response& response, const std::atomic<bool>& stop)
{
    const std::shared_ptr<DiskStore> s = store();
    // The index's own record: its digest is what the bytes must match.
    DiskStoreFile stored;
    std::unique_ptr<QFile> blob;
    int ret = s ? s->openBlob(m_sessionKey(), file->file_id(), &stored, &blob) : DiskErrorCode::kNoStore;
    if (ret == DiskStoreRet::kOk && stored.curSize != stored.size)
        ret = DiskErrorCode::kIncomplete;
    const QString expected = stored.sha1.isEmpty() ? stored.md5 : stored.sha1;
    // A copy that does not match is fetched once more, from the start.
    for (int attempt = 0; ret == DiskStoreRet::kOk; ++attempt) {
        DiskDigest digest = DiskDigest::forFile(stored.sha1, stored.md5);
        ret = fetchInto(*blob, file, stored.size, &digest, response, stop);
        if (ret != DiskStoreRet::kOk || expected.isEmpty() || digest.matches(expected))
            break;
        QFile::remove(file->file_path());
        if (attempt > 0)
            ret = DiskStoreRet::kBadDigest;
    }
    if (ret != DiskStoreRet::kOk)
        return deliverFail(Transfer::Download, file, response, diskErrorFor(ret));
    answer(response, [file](DiskManagerDelegate* d) { d->fileDownloadSuccess(file); });
}

int DiskManager::fetchInto(QFile& blob, const DiskFilePtr& file, qint64 size, DiskDigest* digest,
                           const Response& response, const std::atomic<bool>& stop)
{
    const QString path = file->file_path();
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()))
        return DiskErrorCode::kLocalWrite;
    // What stands at the name and is not a file of the download's own (a
    // link, a pipe, a second hard link) is replaced by a fresh file.
    const int fd = AtomicFile::openForGrowing(path, 0600);
    QFile local;
    if (fd < 0 || !local.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
        if (fd >= 0)
            ::close(fd);
        return DiskErrorCode::kLocalWrite;
    }
    // Resume from the bytes already here; a longer local file is not this one.
    qint64 done = local.size();
    if (done > size) {
        if (!local.resize(0))
            return DiskErrorCode::kLocalWrite;
        done = 0;
    }
    for (qint64 n = 0; n < done;) {
        const QByteArray piece = local.read(std::min<qint64>(kChunkSize, done - n));
        if (piece.isEmpty())
            return DiskErrorCode::kLocalWrite;
        digest->update(piece);
        n += piece.size();
    }
    if (done == size)
        return DiskStoreRet::kOk;
    // A blob shorter than its row is damaged (and must not be mapped).
    if (blob.size() < size)
        return DiskStoreRet::kIoError;
    const char* bytes = reinterpret_cast<const char*>(blob.map(done, size - done));
    if (!bytes || !local.seek(done))
        return bytes ? DiskErrorCode::kLocalWrite : DiskStoreRet::kIoError;
    // The pages are mapped in one go, not one fault at a time on two threads.
    const quintptr page = quintptr(bytes) & ~quintptr(getpagesize() - 1);
    (void)::madvise(reinterpret_cast<void*>(page), size_t(quintptr(bytes) - page + quintptr(size - done)),
                    MADV_POPULATE_READ);
    // The digest runs over the same bytes on a thread of its own while they are written.
    std::thread hashing = ThreadHooks::start("DiskDigest", [digest, bytes, length = size - done] {
        digest->update(bytes, length);
    });
    const qint64 start = done;
    int ret = DiskStoreRet::kOk;
    while (done < size) {
        if (stop) {
            ret = DiskErrorCode::kStopped;
            break;
        }
        const qint64 length = std::min<qint64>(kChunkSize, size - done);
        if (local.write(bytes + (done - start), length) != length) {
            ret = DiskErrorCode::kLocalWrite;
            break;
        }
        done += length;
        if (m_chunkObserver)
            m_chunkObserver(file, done);
        const float percent = percentOf(done, size);
        answer(response, [file, percent](DiskManagerDelegate* d) { d->fileDownloading(percent, file); });
    }
    hashing.join();
    if (ret == DiskStoreRet::kOk && !local.flush())
        ret = DiskErrorCode::kLocalWrite;
    return ret;
}

// ---- thumbnails ----

void DiskManager::requestDownloadThumbnail(const DiskFilePtr& file, DiskManagerDelegate* response)
{
    const Response r(response);
    if (!file)
        return;
    if (m_ignoreThumbnails)
        return deliverFail(Transfer::Thumbnail, file, r, diskErrorFor(DiskErrorCode::kStopped));
    enqueueTransfer(Transfer::Thumbnail, file, r);
}

void DiskManager::requestStopDownloadThumbnail(const DiskFilePtr& file)
{
    if (file)
        m_thumbnails->stop(keyOf(file));
}

void DiskManager::requestStopAllDownloadThumbnail()
{
    m_thumbnails->stopAll();
}

void DiskManager::thumbnailBody(const DiskFilePtr& file, const Response& response, const std::atomic<bool>& stop)
{
    const std::shared_ptr<DiskStore> s = store();
    auto fail = [&](int code) { deliverFail(Transfer::Thumbnail, file, response, diskErrorFor(code)); };
    if (!s)
        return fail(DiskErrorCode::kNoStore);
    const QString path = file->file_path() + ".thumb";
    if (QFileInfo(path).size() > 0)
        return answer(response, [file](DiskManagerDelegate* d) { d->thumbnailDownloadSuccess(file); });
    QByteArray jpeg;
    const int ret = s->thumbnail(m_sessionKey(), file->file_id(), kThumbnailSide, &jpeg);
    if (ret != DiskStoreRet::kOk)
        return fail(ret);
    if (stop)
        return fail(DiskErrorCode::kStopped);
    if (file->file_path().isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath()) || !AtomicFile::write(path, jpeg))
        return fail(DiskErrorCode::kLocalWrite);
    answer(response, [file](DiskManagerDelegate* d) { d->thumbnailDownloadSuccess(file); });
}

// ---- deletion ----

void DiskManager::requestDeleteFile(const DiskFilePtr& file, DiskManagerDelegate* response)
{
    const Response r(response);
    if (!file)
        return;
    const QString key = keyOf(file);
    m_uploads->stop(key);
    m_downloads->stop(key);
    m_thumbnails->stop(key);
    if (file->file_id().isEmpty()) {
        // An upload registering right now removes what it stored itself.
        file->setDiscarded(true);
        DiskFileCache::shared().discard(*file);
        return answer(r, [file](DiskManagerDelegate* d) { d->fileDidDeleteSuccess(file); });
    }
    m_commands->enqueue(
        "delete:" + key,
        [this, file, r](const std::atomic<bool>&) {
            const std::shared_ptr<DiskStore> s = store();
            const int ret = s ? s->deleteFile(m_sessionKey(), file->file_id()) : DiskErrorCode::kNoStore;
            if (ret != DiskStoreRet::kOk) {
                const DiskError error = diskErrorFor(ret);
                return answer(r, [this, file, error](DiskManagerDelegate* d) {
                    failed(d, error, true);
                    d->fileDidDeleteFail(file, error);
                });
            }
            DiskFileCache::shared().discard(*file);
            answer(r, [file](DiskManagerDelegate* d) { d->fileDidDeleteSuccess(file); });
        },
        {});
}
