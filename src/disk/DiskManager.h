#pragma once

#include "disk/DiskManagerDelegate.h"
#include "disk/DiskResumedUploads.h"
#include "disk/DiskUploadFollowers.h"

#include <QSet>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class Clock;
class DiskDigest;
class DiskStore;
class DiskWorkQueue;
class QFile;

// The cloud-disk facade over the local disk store. Every command, transfer
// and thumbnail request starts here and runs on the facade's own threads:
// two uploads, two downloads and two thumbnails at a time, one listing at a
// time, and a small pool for the other commands. Answers go to the response
// object of each request (held weakly) on the main thread, and every request
// gets exactly one terminal answer: a stopped transfer answers as failed
// with DiskErrorCode::kStopped. An upload of a file already uploading first
// answers fileUploadRunning, then the outcome of the upload under way (or,
// where another process uploads it, a failure). current_user() and the error sink belong to
// the main thread. The facade draws nothing: the error messages of requests
// whose response object allows it go to the sink the application installs.
// An upload reads its source once, as the store hashes and writes it; a
// download checks its digest on a thread of its own while the bytes are
// written, and joins it before it answers.
class DiskManager {
public:
    using StoreProvider = std::function<std::shared_ptr<DiskStore>()>;
    using SessionKeyProvider = std::function<QString()>;

    static constexpr qint64 kChunkSize = 64 * 1024;
    static constexpr int kThumbnailSide = 128;

    // The process-wide facade: the shared store (setDiskRoot) and the shared
    // login model's sign-in key.
    // The application's facade; it shuts down when the application is about
    // to quit (made after the application object, as the shell does).
    static DiskManager& shareDiskManager();
    // Where the shared store lives ("CloudDisk" in the home unless set).
    static void setDiskRoot(const QString& root);

    // A facade over the store at storeRoot (opened on first use).
    DiskManager(const QString& storeRoot, const Clock* clock, SessionKeyProvider sessionKey);
    DiskManager(StoreProvider store, SessionKeyProvider sessionKey);
    ~DiskManager();
    // Stops every transfer and request and joins the workers; requests made
    // afterwards answer at once as stopped.
    void shutdown();
    DiskManager(const DiskManager&) = delete;
    DiskManager& operator=(const DiskManager&) = delete;

    DiskUserPtr current_user() const { return m_currentUser; }
    void setCurrent_user(DiskUserPtr user) { m_currentUser = std::move(user); }

    void requestQueryUser(DiskManagerDelegate* response);
    void requestQueryDir(const DiskDirPtr& dir, DiskManagerDelegate* response);
    void requestMakeDir(const QString& name, const DiskDirPtr& fatherDir, DiskManagerDelegate* callback);
    void requestUploadFile(const DiskFilePtr& file, DiskManagerDelegate* response);
    void requestDownloadFile(const DiskFilePtr& file, DiskManagerDelegate* response);
    void requestStopDownloadFile(const DiskFilePtr& file);
    void requestStopUploadFile(const DiskFilePtr& file);
    void requestDeleteFile(const DiskFilePtr& file, DiskManagerDelegate* response);
    void requestDownloadThumbnail(const DiskFilePtr& file, DiskManagerDelegate* response);
    void requestStopDownloadThumbnail(const DiskFilePtr& file);
    void requestStopAllDownloadThumbnail();
    void setIgnoreThumbnailRequest(bool ignore) { m_ignoreThumbnails = ignore; }
    bool ignoreThumbnailRequest() const { return m_ignoreThumbnails; }

    // Called on the transfer thread after every chunk of an upload or a
    // download has gone through (tests use it to stop at a known point).
    using ChunkObserver = std::function<void(const DiskFilePtr& file, qint64 done)>;
    void setChunkObserver(ChunkObserver observer) { m_chunkObserver = std::move(observer); }
    // Called on the upload thread after every piece a resumed upload reads
    // back to check the bytes already sent, first from the store, then from
    // the source (done: the bytes read so far in each).
    void setResumeCheckObserver(ChunkObserver observer) { m_resumeCheckObserver = std::move(observer); }

    // Receives, on the main thread, the message of a failed request whose
    // response object answers canShowErrorAlert(); none by default.
    using ErrorSink = std::function<void(const QString& message)>;
    void setErrorSink(ErrorSink sink) { m_errorSink = std::move(sink); }

    // Told, on the main thread, the folder key of each upload an earlier run
    // left unfinished once it completes here (at the account's sign-in).
    [[nodiscard]] ObserverToken addResumedUploadObserver(DiskResumedUploads::Observer observer)
    {
        return m_resumedUploads.addObserver(std::move(observer));
    }

private:
    using Response = DiskWeakRef<DiskManagerDelegate>;
    using Answer = std::function<void(DiskManagerDelegate*)>;

    std::shared_ptr<DiskStore> store() const;
    // Runs fn on the main thread with the response object, if it is still there.
    void answer(const Response& response, Answer fn);
    // The same, also running manager work first (dropped with the manager).
    void answerWith(const Response& response, std::function<void(DiskManager&)> before, Answer fn);
    void showErrorAlert(DiskManagerDelegate* response, const QString& message);
    // The common tail of a failed command on the main thread: -401 notice and the alert.
    void failed(DiskManagerDelegate* response, const DiskError& error, bool alert);

    void uploadBody(const DiskFilePtr& file, const Response& response, const std::atomic<bool>& stop);
    // Registers (or finds) the file and sends what the store lacks; a result
    // code. *heldId: the file id whose blob it opened (to be released).
    int sendUpload(DiskStore& s, const QString& skey, const DiskFilePtr& file, const Response& response,
                   const std::atomic<bool>& stop, QString* heldId);
    // Cleans up after an upload's result and gives its terminal answer.
    void endUpload(DiskStore* s, const QString& skey, const DiskFilePtr& file, const Response& response, int ret);
    // How a request for a file another upload here holds hears its outcome.
    DiskUploadFollowers::Follower followerOf(const DiskFilePtr& file, const Response& response);
    void downloadBody(const DiskFilePtr& file, const Response& response, const std::atomic<bool>& stop);
    // Fetches from the blob the bytes the local file lacks, the digest taking
    // in the whole; a result code.
    int fetchInto(QFile& blob, const DiskFilePtr& file, qint64 size, DiskDigest* digest, const Response& response,
                  const std::atomic<bool>& stop);
    void thumbnailBody(const DiskFilePtr& file, const Response& response, const std::atomic<bool>& stop);
    void listBody(const DiskDirPtr& dir, const Response& response);
    enum class Transfer { Upload, Download, Thumbnail };
    DiskWorkQueue& queueOf(Transfer kind);
    void enqueueTransfer(Transfer kind, const DiskFilePtr& file, const Response& response);
    // The terminal failure answer of a transfer.
    void deliverFail(Transfer kind, const DiskFilePtr& file, const Response& response, const DiskError& error);
    bool isRootDir(const DiskDirPtr& dir) const;

    static QString keyOf(const DiskFilePtr& file);

    StoreProvider m_store;
    SessionKeyProvider m_sessionKey;
    DiskUserPtr m_currentUser;
    std::atomic<bool> m_ignoreThumbnails{false};
    ErrorSink m_errorSink;
    QSet<qint64> m_resumedAccounts;   // accounts whose earlier uploads were taken up
    ChunkObserver m_chunkObserver;
    ChunkObserver m_resumeCheckObserver;
    DiskUploadFollowers m_uploadFollowers;
    DiskResumedUploads m_resumedUploads;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
    // Declared last: destroyed (stopped and joined) first.
    std::unique_ptr<DiskWorkQueue> m_uploads;
    std::unique_ptr<DiskWorkQueue> m_downloads;
    std::unique_ptr<DiskWorkQueue> m_thumbnails;
    std::unique_ptr<DiskWorkQueue> m_listing;
    std::unique_ptr<DiskWorkQueue> m_commands;
};
