#pragma once

#include "albums/store/DBOEncryptAlbumOp.h"
#include "albums/store/PavPhotoModel.h"

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class Clock;
class PhotoAsset;
class PhotoLibrary;

// The private album's store: one folder of enciphered items (<uuid> and
// <uuid>.thumb) indexed by table photoes in the database "photo" of the same
// folder. Safe to call from several threads at once; each operation touches
// only its own item's files, and the database connection serialises the
// statements.
class PavPhotoManager {
public:
    // The process-wide store, on Documents/photo of the current home and the
    // shared photo library. Its index is healed behind the first call.
    static PavPhotoManager& sharedPavPhotoManager();

    // When the index is healed from the item files (see healIndex): before
    // the constructor returns, or on a thread of the store's own that the
    // store's operations wait for (see isRepairingIndex).
    enum class IndexRepair { AtOnce, Behind };

    // A store on photoDir (created when missing). The index is op when given,
    // else the database photoDir/photo.
    PavPhotoManager(QString photoDir, std::shared_ptr<PhotoLibrary> library,
                    std::unique_ptr<DBOEncryptAlbumOp> op = nullptr, const Clock* clock = nullptr,
                    IndexRepair repair = IndexRepair::AtOnce);
    ~PavPhotoManager();
    PavPhotoManager(const PavPhotoManager&) = delete;
    PavPhotoManager& operator=(const PavPhotoManager&) = delete;

    // Documents/photo of the current home: where the class-level helpers
    // look for file names.
    static QString defaultPhotoDir();

    // Class-level cipher and image helpers.
    static bool encryptPhoto(const QImage& image, const QString& path);       // JPEG at quality 100
    static bool encryptPhotoData(const QByteArray& data, const QString& path);
    static QByteArray decryptPhotoToData(const QString& name);               // null when unreadable
    static QImage decryptPhoto(const QString& name);
    static QImage decryptPhotoWithFullPath(const QString& path);
    // Decoded at reduced size, covering `cover` (see ImageCodec::decodeScaled).
    static QImage decryptPhotoWithFullPath(const QString& path, const QSize& cover);
    // First byte: 0x89 -> 0 (PNG), 0xFF -> 1 (JPEG), 'G' -> 2 (GIF), else 3; empty -> 3.
    static int getContentTypeOfImageData(const QByteArray& data);

    // The item's two files; empty (logged) for an id not in UUID form.
    QString getPhotoFullPath(const PavPhotoModel& model) const;
    QString thumbnailPath(const PavPhotoModel& model) const;
    // Size of the enciphered full file; nullopt when it does not exist.
    std::optional<quint64> getPhotoSize(const PavPhotoModel& model) const;

    // What the import of a library item reads, decodes and enciphers before
    // anything is written: its two files' contents. Made on any thread, ahead
    // of the store (see ImportPrefetch); an empty full file when the read failed.
    struct PreparedAsset {
        qint64 size = 0;                 // of the original bytes
        QByteArray fullCipher;           // the original bytes, enciphered
        QByteArray thumbnailCipher;      // the thumbnail's JPEG, enciphered; empty when it does not decode
        QByteArray sourceState;          // the asset file's state before the read (see isEncrypted)
    };
    static PreparedAsset prepareAsset(const PhotoAsset& asset);

    // Store a camera photo / a library item (from what prepareAsset made of
    // it, when given and its file has not changed since; else read again). True when both files and the row were written; on any
    // failure nothing of the item remains.
    bool encryptImage(const QImage& image);
    bool encryptAsset(const PhotoAsset& asset, const PreparedAsset* prepared = nullptr);
    // Whether the asset is stored: a row with its URL whose item files exist
    // and whose full file holds the asset's bytes (an id is only name, size
    // and time: other bytes can come under them; a copy cut short is not the
    // photo). False for an asset without a URL or whose file cannot be read.
    // The content is compared once per state of the asset's file (its inode
    // and change time included), so asking again is cheap. Rows stored under
    // the library's earlier id form are taken over by today's URL when they
    // hold the file's bytes, and so is a row without a URL (rebuilt from its
    // item files after a kill or a lost index) that holds them. Storing an
    // asset again replaces the rows of its URL whose full file is gone or
    // empty.
    bool isEncrypted(const PhotoAsset& asset);
    bool hasItemFiles(const PavPhotoModel& model) const;

    // Saves the item's original bytes to the photo library; a photo whose
    // bytes do not decode as a picture fails. callBack runs
    // exactly once, on the main thread, with an empty error on success (it
    // is dropped only when target was given and has been destroyed). The
    // item stays in the store. The save counts as in hand from this call
    // until callBack has returned (see savesInHand).
    using SaveCallBack = std::function<void(const PavPhotoModelPtr& model, const QString& error)>;
    void decryptPhoto(const PavPhotoModelPtr& model, QObject* target, SaveCallBack callBack);
    // Saves to the library not yet answered: a clean exit lets them finish.
    int savesInHand() const { return *m_savesInHand; }

    // Deletes the row, then both files (files only, never a folder). False,
    // with the files left, when the row could not be deleted or the id is
    // not in UUID form.
    bool deletePhoto(const PavPhotoModel& model);
    // The last step of a move-out, called from the callBack of a save that
    // succeeded: deletes the item like deletePhoto; when it cannot, removes
    // the copy that save put in the library (the same bytes, the item still
    // here), so a failed move leaves the library as it was.
    bool deleteMovedPhoto(const PavPhotoModel& model);
    bool deleteRecord(const PavPhotoModel& model);

    // Newest first; empty when the query failed or the album is empty.
    PavPhotoModelList photoesWithType(int type);
    PavPhotoModelList photoes();

    // Rows rebuilt for item files no row names, what holds no picture or
    // video moved into the quarantine folder, the store's temporary files
    // removed (see AlbumIndexRepair). Runs at start; it must not run while
    // items are being stored. Returns the number of files moved aside.
    int healIndex();
    // True while the heal started by the constructor runs behind. Meanwhile
    // every operation that reads or writes the index or the item files waits
    // for it, except on the main thread, which must not block: what it reads
    // then is the index so far, not the album (screens wait for the end).
    bool isRepairingIndex() const { return m_repairing; }
    // The wait of those operations, for callers that wait ahead of them (a
    // batch item, whose watchdog must not count it). True once the index is
    // whole; false once a stop was asked (requestStop), ending the wait at
    // once: the index may be half-healed, so the caller gives up with nothing
    // done. On the main thread it returns at once (see isRepairingIndex).
    // givesUp, when given, is asked every few tens of milliseconds while the
    // wait lasts: once it answers true the wait ends, false (a batch's stop).
    bool awaitIndex(const std::function<bool()>& givesUp = {}) const;
    // Any thread, without waiting: from now on every operation that reads or
    // writes the index or the item files gives up with nothing done (no new
    // item is stored), the waits for the index end, and the heal behind
    // stops after the item in hand.
    void requestStop();
    // requestStop, then waits for the heal behind: what it rebuilt is
    // committed, the rest waits for the next start. Called before the
    // application goes, while all the heal uses is still there.
    void stopIndexRepair();
    // Items the running heal has given a row so far.
    int restoredItemCount() const { return m_restored; }
    // Moves every committed row into the index file itself (the end of a
    // batch, a clean exit): a copy of the folder taken while idle is whole.
    void checkpointIndex();

    const QString& photoDir() const { return m_photoDir; }
    DBOEncryptAlbumOp* encryptAlbumOp() const { return m_encryptAlbumOp.get(); }
    const std::shared_ptr<PhotoLibrary>& library() const { return m_library; }

    bool isUpdated() const { return m_isUpdated; }
    void setIsUpdated(bool value) { m_isUpdated = value; }
    bool needEncryptionCancel() const { return m_needEncryptionCancel; }
    void setNeedEncryptionCancel(bool value) { m_needEncryptionCancel = value; }
    bool needDecryptionCancel() const { return m_needDecryptionCancel; }
    void setNeedDecryptionCancel(bool value) { m_needDecryptionCancel = value; }
    bool needDeletionCancel() const { return m_needDeletionCancel; }
    void setNeedDeletionCancel(bool value) { m_needDeletionCancel = value; }

    static constexpr int kThumbnailSide = 150;
    // Subfolder of the album folder that takes the files the index does not name.
    static constexpr const char* kQuarantineFolder = "Quarantine";

private:
    // Writes the full file (on a helper thread) while the thumbnail is made
    // and written, then the row; undoes the files on any failure.
    using FileWrite = std::function<bool(const QString& path)>;
    bool storeItem(const PavPhotoModel& model, const FileWrite& writeFull, const FileWrite& writeThumbnail);
    void removeSavedCopy(const QString& url, const PavPhotoModel& model);
    // The asset file in sourceState holds the bytes of item uuid.
    void rememberStored(const QString& url, const QByteArray& sourceState, const QString& uuid);
    // The row without a URL holding exactly the asset's bytes takes its URL;
    // only rows whose full file is `complete` bytes long are deciphered.
    bool claimRowWithoutURL(const PhotoAsset& asset, quint64 complete);

    // Rows without a URL and the lengths of their full files, read once and
    // again only after rows without a URL may have been added (a camera
    // photo, a heal). A row deleted since is harmless: its file does not
    // decipher and its claim fails.
    struct RowWithoutURL {
        QString uuid;
        quint64 fullSize = 0;
    };
    std::mutex m_rowsWithoutURLMutex;
    std::optional<std::vector<RowWithoutURL>> m_rowsWithoutURL;
    void forgetRowsWithoutURL();

    QString m_photoDir;
    std::shared_ptr<PhotoLibrary> m_library;
    std::unique_ptr<DBOEncryptAlbumOp> m_encryptAlbumOp;
    const Clock* m_clock;
    std::atomic<bool> m_isUpdated{false};
    std::atomic<bool> m_needEncryptionCancel{false};
    std::atomic<bool> m_needDecryptionCancel{false};
    std::atomic<bool> m_needDeletionCancel{false};
    // Per URL, the state of the asset file last found stored, and the item
    // that holds its bytes.
    struct VerifiedState {
        QByteArray fileState;
        QString uuid;
    };
    std::mutex m_verifiedMutex;
    QHash<QString, VerifiedState> m_verified;
    // Shared with the answers in flight, which may outlive the store.
    std::shared_ptr<std::atomic<int>> m_savesInHand = std::make_shared<std::atomic<int>>(0);
    // Per item, the library URL of the copy its save made, while that save's
    // answer is handled.
    struct SavedCopies {
        void put(const QString& uuid, const QString& url);
        QString take(const QString& uuid);
        std::mutex mutex;
        QHash<QString, QString> urls;
    };
    std::shared_ptr<SavedCopies> m_savedCopies = std::make_shared<SavedCopies>();

    // The heal behind: one heal at a time; the store waits for its thread
    // on destruction, after asking it to stop. m_stopRepair is the store's
    // stop (requestStop): the heal reads it between items.
    std::mutex m_healMutex;
    std::atomic<bool> m_repairing{false};
    std::atomic<bool> m_stopRepair{false};
    std::atomic<int> m_restored{0};
    mutable std::mutex m_repairMutex;
    mutable std::condition_variable m_repaired;
    std::thread m_repairThread;
};
