#include "albums/store/PavPhotoManager.h"

#include "albums/store/AlbumIndexRepair.h"
#include "albums/store/ItemId.h"
#include "Public/PavEncryptManager.h"
#include "Public/PavFileManagerHelp.h"
#include "platform/core/AppHome.h"
#include "platform/photolib/NativeName.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Clock.h"
#include "platform/core/MainThread.h"
#include "platform/core/ThreadHooks.h"
#include "platform/media/ImageCodec.h"
#include "platform/photolib/PhotoAsset.h"
#include "platform/photolib/PhotoLibrary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>

#include <algorithm>
#include <new>

#include <sys/stat.h>
#include <unistd.h>

PavPhotoManager& PavPhotoManager::sharedPavPhotoManager()
{
    // The first call comes while the window is being built: a large album
    // takes minutes to heal.
    static PavPhotoManager manager(PavFileManagerHelp::createDirectoryInDocument("photo"), PhotoLibrary::shared(),
                                   nullptr, nullptr, IndexRepair::Behind);
    return manager;
}

PavPhotoManager::PavPhotoManager(QString photoDir, std::shared_ptr<PhotoLibrary> library,
                                 std::unique_ptr<DBOEncryptAlbumOp> op, const Clock* clock, IndexRepair repair)
    : m_photoDir(std::move(photoDir)),
      m_library(std::move(library)),
      m_encryptAlbumOp(std::move(op)),
      m_clock(clock ? clock : &Clock::system())
{
    QDir().mkpath(m_photoDir);
    if (!m_encryptAlbumOp)
        m_encryptAlbumOp = DBOEncryptAlbumOp::initWithFilePath(m_photoDir + "/photo");
    if (repair == IndexRepair::AtOnce) {
        healIndex();
        return;
    }
    m_repairing = true;
    m_repairThread = ThreadHooks::start("PavIndexRepair", [this] {
        healIndex();
        {
            std::lock_guard lock(m_repairMutex);
            m_repairing = false;
        }
        m_repaired.notify_all();
    });
}

PavPhotoManager::~PavPhotoManager()
{
    stopIndexRepair();
    checkpointIndex();
}

void PavPhotoManager::requestStop()
{
    {
        std::lock_guard lock(m_repairMutex);
        m_stopRepair = true;
    }
    m_repaired.notify_all();
}

void PavPhotoManager::stopIndexRepair()
{
    requestStop();
    if (m_repairThread.joinable())
        m_repairThread.join();
}

bool PavPhotoManager::awaitIndex(const std::function<bool()>& givesUp) const
{
    if (m_repairing && !MainThread::isMainThread()) {
        std::unique_lock lock(m_repairMutex);
        const auto over = [this] { return !m_repairing || m_stopRepair; };
        if (!givesUp)
            m_repaired.wait(lock, over);
        while (givesUp && !m_repaired.wait_for(lock, std::chrono::milliseconds(50), over)) {
            if (givesUp())
                return false;
        }
    }
    // A heal that was stopped leaves the index half-made: nothing is answered from it.
    return !m_stopRepair;
}

QString PavPhotoManager::defaultPhotoDir()
{
    return AppHome::current().documents() + "/photo";
}

bool PavPhotoManager::encryptPhoto(const QImage& image, const QString& path)
{
    const QByteArray jpeg = ImageCodec::encodeJpeg(image, 100);
    return !jpeg.isEmpty() && PavEncryptManager::writeData(jpeg, path);
}

bool PavPhotoManager::encryptPhotoData(const QByteArray& data, const QString& path)
{
    return PavEncryptManager::writeData(data, path);
}

QByteArray PavPhotoManager::decryptPhotoToData(const QString& name)
{
    if (!ItemId::isFileName(name)) {
        qWarning("private album: not reading a file whose name is not an item's");
        return QByteArray();
    }
    const QString path = defaultPhotoDir() + "/" + name;
    return PavEncryptManager::readDataFromPath(path, nullptr, ItemId::readCap(path));
}

QImage PavPhotoManager::decryptPhoto(const QString& name)
{
    return ImageCodec::decode(decryptPhotoToData(name));
}

QImage PavPhotoManager::decryptPhotoWithFullPath(const QString& path)
{
    return decryptPhotoWithFullPath(path, QSize());
}

QImage PavPhotoManager::decryptPhotoWithFullPath(const QString& path, const QSize& cover)
{
    return ImageCodec::decodeScaled(PavEncryptManager::readDataFromPath(path, nullptr, ItemId::readCap(path)), cover);
}

int PavPhotoManager::getContentTypeOfImageData(const QByteArray& data)
{
    if (data.isEmpty())
        return 3;
    switch (quint8(data[0])) {
    case 0x89:
        return 0;
    case 0xFF:
        return 1;
    case 0x47:
        return 2;
    default:
        return 3;
    }
}

QString PavPhotoManager::getPhotoFullPath(const PavPhotoModel& model) const
{
    if (!ItemId::isValid(model.photoUUID())) {
        qWarning("private album: skipped an item whose id is not in UUID form");
        return QString();
    }
    return m_photoDir + "/" + model.photoUUID();
}

QString PavPhotoManager::thumbnailPath(const PavPhotoModel& model) const
{
    const QString full = getPhotoFullPath(model);
    return full.isEmpty() ? QString() : full + ".thumb";
}

std::optional<quint64> PavPhotoManager::getPhotoSize(const PavPhotoModel& model) const
{
    const QFileInfo info(getPhotoFullPath(model));
    if (!info.isFile())
        return std::nullopt;
    return quint64(info.size());
}

bool PavPhotoManager::storeItem(const PavPhotoModel& model, const FileWrite& writeFull, const FileWrite& writeThumbnail)
{
    if (m_stopRepair)
        return false;
    const QString fullPath = getPhotoFullPath(model);
    const QString thumbPath = thumbnailPath(model);
    bool fullWritten = false;
    std::thread writer = ThreadHooks::start("PavPhotoStore", [&] { fullWritten = writeFull(fullPath); });
    const bool thumbWritten = writeThumbnail(thumbPath);
    writer.join();
    // The row goes in last, so a row always has its two files.
    if (fullWritten && thumbWritten && m_encryptAlbumOp->insertRecord(model)) {
        m_isUpdated = true;
        if (model.photoURL().isEmpty())
            forgetRowsWithoutURL();
        return true;
    }
    PavFileManagerHelp::deleteFileInFullPath(fullPath);
    PavFileManagerHelp::deleteFileInFullPath(thumbPath);
    return false;
}

bool PavPhotoManager::encryptImage(const QImage& image)
{
    if (!awaitIndex() || image.isNull())
        return false;
    PavPhotoModel model;
    model.setPhotoUUID(PavPhotoModel::createFileUUID());
    model.setPhotoType(PavPhotoModel::Photo);
    model.setPhotoCreateTime(m_clock->now());
    model.setPhotoPath(model.photoUUID());
    const QByteArray jpeg = ImageCodec::encodeJpeg(image, 100);
    if (jpeg.isEmpty())
        return false;
    model.setPhotoSize(quint64(jpeg.size()));
    const QSize side(kThumbnailSide, kThumbnailSide);
    return storeItem(
        model, [&](const QString& path) { return encryptPhotoData(jpeg, path); },
        [&](const QString& path) { return encryptPhoto(ImageCodec::thumbnailWithSize(image, side), path); });
}

namespace {
// What tells one state of a file from another; empty when it cannot be read.
QByteArray fileState(const QString& path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QByteArray();
    const qint64 facts[] = {qint64(st.st_dev), qint64(st.st_ino), qint64(st.st_size),
                            qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec), qint64(st.st_ctim.tv_sec),
                            qint64(st.st_ctim.tv_nsec)};
    return QByteArray(reinterpret_cast<const char*>(facts), sizeof facts);
}

// Every byte of the asset or nothing: a short read, more than an item can
// hold, or more than memory can be had for, gives nothing.
QByteArray readWhole(const PhotoAsset& asset)
{
    QByteArray bytes;
    const qint64 expected = asset.size();
    if (expected <= 0 || expected > PavEncryptManager::kMaxPlainSize)
        return QByteArray();
    try {
        if (!asset.readAll(&bytes) || bytes.size() != expected)
            return QByteArray();
    } catch (const std::bad_alloc&) {
        return QByteArray();
    }
    return bytes;
}
}

PavPhotoManager::PreparedAsset PavPhotoManager::prepareAsset(const PhotoAsset& asset)
{
    PreparedAsset prepared;
    prepared.sourceState = fileState(asset.filePath());
    const QByteArray bytes = readWhole(asset);
    if (bytes.isEmpty())
        return prepared;
    prepared.size = bytes.size();
    // The original is enciphered while the thumbnail is decoded.
    std::thread cipher = ThreadHooks::start("PavPhotoPrepare",
                                            [&] { prepared.fullCipher = PavEncryptManager::encryptData(bytes); });
    const QImage thumbnail = ImageCodec::thumbnailFromData(bytes, QSize(kThumbnailSide, kThumbnailSide));
    const QByteArray jpeg = ImageCodec::encodeJpeg(thumbnail, 100);
    if (!jpeg.isEmpty())
        prepared.thumbnailCipher = PavEncryptManager::encryptData(jpeg);
    cipher.join();
    return prepared;
}

bool PavPhotoManager::encryptAsset(const PhotoAsset& asset, const PreparedAsset* prepared)
{
    if (!awaitIndex())
        return false;
    PavPhotoModel model;
    model.setPhotoUUID(PavPhotoModel::createFileUUID());
    switch (asset.kind()) {
    case PhotoAssetKind::Photo:
        model.setPhotoType(PavPhotoModel::Photo);
        break;
    case PhotoAssetKind::Video:
        model.setPhotoType(PavPhotoModel::Video);
        model.setVideoDuration(asset.duration());
        break;
    case PhotoAssetKind::Other:
        model.setPhotoType(PavPhotoModel::Other);
        break;
    }
    const QDateTime date = asset.date();
    model.setPhotoCreateTime(date.isValid() ? date : m_clock->now());
    model.setPhotoURL(asset.url());
    model.setPhotoPath(model.photoUUID());

    // Rows of this URL whose full file is gone or empty hold nothing: the new
    // item replaces them. (One that lost only its thumbnail keeps its content,
    // and so does one cut short: what is left of it is the user's.)
    const PavPhotoModelList stale = m_encryptAlbumOp->recordsWithURL(model.photoURL());
    bool stored = false;
    // What was prepared from a file changed since is read again.
    const QByteArray currentState = fileState(asset.filePath());
    if (prepared && prepared->sourceState != currentState)
        prepared = nullptr;
    const QByteArray sourceState = prepared ? prepared->sourceState : currentState;
    if (prepared) {
        if (prepared->fullCipher.isEmpty() || prepared->thumbnailCipher.isEmpty())
            return false;
        model.setPhotoSize(quint64(prepared->size));
        stored = storeItem(
            model, [&](const QString& path) { return AtomicFile::write(path, prepared->fullCipher); },
            [&](const QString& path) { return AtomicFile::write(path, prepared->thumbnailCipher); });
    } else {
        const QByteArray bytes = readWhole(asset);
        if (bytes.isEmpty())
            return false;
        model.setPhotoSize(quint64(bytes.size()));
        const QSize side(kThumbnailSide, kThumbnailSide);
        stored = storeItem(
            model, [&](const QString& path) { return encryptPhotoData(bytes, path); },
            [&](const QString& path) {
                const QImage thumbnail = ImageCodec::thumbnailFromData(bytes, side);
                return !thumbnail.isNull() && encryptPhoto(thumbnail, path);
            });
    }
    if (!stored)
        return false;
    rememberStored(model.photoURL(), sourceState, model.photoUUID());
    for (const PavPhotoModelPtr& row : stale)
        if (getPhotoSize(*row).value_or(0) == 0)
            deletePhoto(*row);
    return true;
}

bool PavPhotoManager::isEncrypted(const PhotoAsset& asset)
{
    const QString url = asset.url();
    if (!awaitIndex() || url.isEmpty())
        return false;
    const auto withFiles = [this](const QString& rowsUrl) {
        PavPhotoModelList held;
        for (const PavPhotoModelPtr& row : m_encryptAlbumOp->recordsWithURL(rowsUrl))
            if (hasItemFiles(*row))
                held.append(row);
        return held;
    };
    PavPhotoModelList held = withFiles(url);
    // Rows stored under the library's earlier id form (the inode in it) are
    // taken over when they hold this file's bytes: from then on they carry
    // today's URL, which a copy of the library keeps.
    QString former;
    if (held.isEmpty()) {
        former = asset.formerUrl();
        if (!former.isEmpty() && former != url)
            held = withFiles(former);
        if (held.isEmpty()) {
            // Rows rebuilt from their item files carry no URL: one holding
            // this file's very bytes is the photo's.
            const quint64 complete = quint64(PavEncryptManager::encryptedSize(asset.size()));  // 0: size unknown
            return complete != 0 && claimRowWithoutURL(asset, complete);
        }
    }
    // Taken before the read: a change during it gives another state.
    const QByteArray state = fileState(asset.filePath());
    const auto holds = [&held](const QString& uuid) {
        return std::any_of(held.begin(), held.end(), [&](const PavPhotoModelPtr& row) { return row->photoUUID() == uuid; });
    };
    if (former.isEmpty()) {
        std::lock_guard lock(m_verifiedMutex);
        const auto known = m_verified.constFind(url);
        if (!state.isEmpty() && known != m_verified.constEnd() && known->fileState == state && holds(known->uuid))
            return true;
    }
    // A copy cut short (a restore or a copy of the home that did not finish)
    // or other bytes under the same name, size and time are not the photo:
    // its original must not be given up for them.
    const QByteArray original = readWhole(asset);
    if (original.isEmpty())
        return false;
    const quint64 complete = quint64(PavEncryptManager::encryptedSize(original.size()));
    for (const PavPhotoModelPtr& row : held) {
        if (getPhotoSize(*row).value_or(0) != complete
            || PavEncryptManager::readDataFromPath(getPhotoFullPath(*row)) != original)
            continue;
        if (!former.isEmpty())
            m_encryptAlbumOp->replaceURL(former, url);
        rememberStored(url, state, row->photoUUID());
        return true;
    }
    return false;
}

bool PavPhotoManager::claimRowWithoutURL(const PhotoAsset& asset, quint64 complete)
{
    std::vector<QString> candidates;
    {
        std::lock_guard lock(m_rowsWithoutURLMutex);
        if (!m_rowsWithoutURL) {
            m_rowsWithoutURL.emplace();
            for (const PavPhotoModelPtr& row : m_encryptAlbumOp->recordsWithoutURL())
                m_rowsWithoutURL->push_back({row->photoUUID(), getPhotoSize(*row).value_or(0)});
        }
        for (const RowWithoutURL& row : *m_rowsWithoutURL)
            if (row.fullSize == complete)
                candidates.push_back(row.uuid);
    }
    if (candidates.empty())
        return false;
    const QByteArray state = fileState(asset.filePath());
    const QByteArray bytes = readWhole(asset);
    if (bytes.isEmpty())
        return false;
    for (const QString& uuid : candidates) {
        PavPhotoModel row;
        row.setPhotoUUID(uuid);
        if (!hasItemFiles(row) || PavEncryptManager::readDataFromPath(getPhotoFullPath(row)) != bytes)
            continue;
        if (!m_encryptAlbumOp->setURLOfRecordWithoutURL(uuid, asset.url()))
            continue;
        rememberStored(asset.url(), state, uuid);
        std::lock_guard lock(m_rowsWithoutURLMutex);
        if (m_rowsWithoutURL)
            std::erase_if(*m_rowsWithoutURL, [&](const RowWithoutURL& r) { return r.uuid == uuid; });
        return true;
    }
    return false;
}

void PavPhotoManager::rememberStored(const QString& url, const QByteArray& sourceState, const QString& uuid)
{
    if (url.isEmpty() || sourceState.isEmpty())
        return;
    std::lock_guard lock(m_verifiedMutex);
    m_verified.insert(url, VerifiedState{sourceState, uuid});
}

void PavPhotoManager::forgetRowsWithoutURL()
{
    std::lock_guard lock(m_rowsWithoutURLMutex);
    m_rowsWithoutURL.reset();
}

bool PavPhotoManager::hasItemFiles(const PavPhotoModel& model) const
{
    const QFileInfo full(getPhotoFullPath(model));
    return !model.photoUUID().isEmpty() && full.isFile() && full.size() > 0 && QFileInfo(thumbnailPath(model)).isFile();
}

void PavPhotoManager::decryptPhoto(const PavPhotoModelPtr& model, QObject* target, SaveCallBack callBack)
{
    const bool whole = awaitIndex();
    const bool hasTarget = target != nullptr;
    QPointer<QObject> guard(target);
    auto answered = std::make_shared<std::atomic<bool>>(false);
    ++*m_savesInHand;
    auto deliver = [inHand = m_savesInHand, copies = m_savedCopies, model, hasTarget, guard, answered,
                    callBack](const QString& error, const QString& savedUrl = QString()) {
        if (answered->exchange(true))
            return;
        MainThread::post([inHand, copies, model, hasTarget, guard, callBack, error, savedUrl] {
            if ((!hasTarget || guard) && callBack) {
                // Known to deleteMovedPhoto while the answer is handled.
                const QString uuid = savedUrl.isEmpty() ? QString() : model->photoUUID();
                if (!uuid.isEmpty())
                    copies->put(uuid, savedUrl);
                callBack(model, error);
                if (!uuid.isEmpty())
                    copies->take(uuid);
            }
            --*inHand;
        });
    };
    if (!model) {
        deliver("no item");
        return;
    }
    if (!whole) {
        deliver("the album is closing");
        return;
    }
    const QByteArray bytes = PavEncryptManager::readDataFromPath(getPhotoFullPath(*model));
    if (bytes.isEmpty()) {
        deliver("the item's file is missing or does not decipher");
        return;
    }
    // A copy counts only once it is checked: a photo must decode.
    if (model->photoType() != PavPhotoModel::Video && ImageCodec::decodeScaled(bytes, QSize(64, 64)).isNull()) {
        deliver("the item's content is not a picture");
        return;
    }
    if (!m_library) {
        deliver("no photo library");
        return;
    }
    // The original bytes, under the extension the item came with.
    QString ext = PhotoAsset::extensionOfUrl(model->photoURL());
    if (ext.isEmpty()) {
        static const char* const byType[] = {"PNG", "JPG", "GIF", "DAT"};
        ext = byType[getContentTypeOfImageData(bytes)];
    }
    m_library->saveToLibrary(bytes, ext, model->photoCreateTime(),
                             [deliver](const PhotoLibrary::SaveResult& result) { deliver(result.error, result.url); });
}

bool PavPhotoManager::deletePhoto(const PavPhotoModel& model)
{
    // The id names the files to delete: one not in UUID form could name the
    // album folder itself, or one outside it.
    if (!ItemId::isValid(model.photoUUID())) {
        qWarning("private album: not deleting an item whose id is not in UUID form");
        return false;
    }
    if (!awaitIndex() || !m_encryptAlbumOp->deleteRecord(model))
        return false;
    PavFileManagerHelp::deleteFileInFullPath(getPhotoFullPath(model));
    PavFileManagerHelp::deleteFileInFullPath(thumbnailPath(model));
    m_isUpdated = true;
    return true;
}

bool PavPhotoManager::deleteMovedPhoto(const PavPhotoModel& model)
{
    const QString copy = m_savedCopies->take(model.photoUUID());
    if (deletePhoto(model))
        return true;
    if (!copy.isEmpty())
        removeSavedCopy(copy, model);
    return false;
}

void PavPhotoManager::removeSavedCopy(const QString& url, const PavPhotoModel& model)
{
    const PhotoAssetPtr asset = m_library ? m_library->assetForUrl(url) : nullptr;
    const QString path = asset ? asset->filePath() : QString();
    // Only the very bytes this move saved, while the item still holds them.
    QByteArray saved;
    const bool same = !path.isEmpty() && asset->readAll(&saved)
        && saved == PavEncryptManager::readDataFromPath(getPhotoFullPath(model));
    // By the name's bytes: the library's folder name need not be UTF-8.
    if (!same || ::unlink(NativeName::encode(path).constData()) != 0)
        qWarning("private album: the library copy of an item that could not be moved out is left in place");
}

void PavPhotoManager::SavedCopies::put(const QString& uuid, const QString& url)
{
    std::lock_guard lock(mutex);
    urls.insert(uuid, url);
}

QString PavPhotoManager::SavedCopies::take(const QString& uuid)
{
    std::lock_guard lock(mutex);
    return urls.take(uuid);
}

bool PavPhotoManager::deleteRecord(const PavPhotoModel& model)
{
    return awaitIndex() && m_encryptAlbumOp->deleteRecord(model);
}

PavPhotoModelList PavPhotoManager::photoesWithType(int type)
{
    return awaitIndex() ? m_encryptAlbumOp->photoesWithType(type) : PavPhotoModelList();
}

PavPhotoModelList PavPhotoManager::photoes()
{
    return awaitIndex() ? m_encryptAlbumOp->photoes() : PavPhotoModelList();
}

int PavPhotoManager::healIndex()
{
    std::lock_guard heal(m_healMutex);
    const AlbumIndexRepair::Watch watch{&m_stopRepair, &m_restored};
    const int movedAside =
        AlbumIndexRepair(m_photoDir, *m_encryptAlbumOp, m_photoDir + "/" + kQuarantineFolder, kThumbnailSide, watch)
            .run()
            .movedAside;
    forgetRowsWithoutURL();  // rebuilt rows have no URL
    return movedAside;
}

void PavPhotoManager::checkpointIndex()
{
    m_encryptAlbumOp->checkpoint();
}
