#include "albums/store/PavPhotoManager.h"

#include "Public/PavEncryptManager.h"
#include "Public/PavFileManagerHelp.h"
#include "platform/core/AppHome.h"
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
#include <QRegularExpression>

PavPhotoManager& PavPhotoManager::sharedPavPhotoManager()
{
    static PavPhotoManager manager(PavFileManagerHelp::createDirectoryInDocument("photo"), PhotoLibrary::shared());
    return manager;
}

PavPhotoManager::PavPhotoManager(QString photoDir, std::shared_ptr<PhotoLibrary> library,
                                 std::unique_ptr<DBOEncryptAlbumOp> op, const Clock* clock)
    : m_photoDir(std::move(photoDir)),
      m_library(std::move(library)),
      m_encryptAlbumOp(std::move(op)),
      m_clock(clock ? clock : &Clock::system())
{
    QDir().mkpath(m_photoDir);
    if (!m_encryptAlbumOp)
        m_encryptAlbumOp = DBOEncryptAlbumOp::initWithFilePath(m_photoDir + "/photo");
    removeOrphans();
}

PavPhotoManager::~PavPhotoManager() = default;

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
    return PavEncryptManager::readDataFromPath(defaultPhotoDir() + "/" + name);
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
    return ImageCodec::decodeScaled(PavEncryptManager::readDataFromPath(path), cover);
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
    return m_photoDir + "/" + model.photoUUID();
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
    const QString fullPath = getPhotoFullPath(model);
    const QString thumbPath = thumbnailPath(model);
    bool fullWritten = false;
    std::thread writer = ThreadHooks::start("PavPhotoStore", [&] { fullWritten = writeFull(fullPath); });
    const bool thumbWritten = writeThumbnail(thumbPath);
    writer.join();
    // The row goes in last, so a row always has its two files.
    if (fullWritten && thumbWritten && m_encryptAlbumOp->insertRecord(model)) {
        m_isUpdated = true;
        return true;
    }
    PavFileManagerHelp::deleteFileInFullPath(fullPath);
    PavFileManagerHelp::deleteFileInFullPath(thumbPath);
    return false;
}

bool PavPhotoManager::encryptImage(const QImage& image)
{
    if (image.isNull())
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
// Every byte of the asset or nothing: a short read gives nothing.
QByteArray readWhole(const PhotoAsset& asset)
{
    QByteArray bytes;
    const qint64 expected = asset.size();
    if (expected <= 0 || !asset.readAll(&bytes) || bytes.size() != expected)
        return QByteArray();
    return bytes;
}
}

PavPhotoManager::PreparedAsset PavPhotoManager::prepareAsset(const PhotoAsset& asset)
{
    PreparedAsset prepared;
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

    if (prepared) {
        if (prepared->fullCipher.isEmpty() || prepared->thumbnailCipher.isEmpty())
            return false;
        model.setPhotoSize(quint64(prepared->size));
        return storeItem(
            model, [&](const QString& path) { return AtomicFile::write(path, prepared->fullCipher); },
            [&](const QString& path) { return AtomicFile::write(path, prepared->thumbnailCipher); });
    }
    const QByteArray bytes = readWhole(asset);
    if (bytes.isEmpty())
        return false;
    model.setPhotoSize(quint64(bytes.size()));
    const QSize side(kThumbnailSide, kThumbnailSide);
    return storeItem(
        model, [&](const QString& path) { return encryptPhotoData(bytes, path); },
        [&](const QString& path) {
            const QImage thumbnail = ImageCodec::thumbnailFromData(bytes, side);
            return !thumbnail.isNull() && encryptPhoto(thumbnail, path);
        });
}

bool PavPhotoManager::isEncrypted(const PhotoAsset& asset)
{
    const QString url = asset.url();
    return !url.isEmpty() && m_encryptAlbumOp->exitRecord(url);
}

void PavPhotoManager::decryptPhoto(const PavPhotoModelPtr& model, QObject* target, SaveCallBack callBack)
{
    const bool hasTarget = target != nullptr;
    QPointer<QObject> guard(target);
    auto answered = std::make_shared<std::atomic<bool>>(false);
    auto deliver = [model, hasTarget, guard, answered, callBack](const QString& error) {
        if (answered->exchange(true))
            return;
        MainThread::post([model, hasTarget, guard, callBack, error] {
            if ((hasTarget && !guard) || !callBack)
                return;
            callBack(model, error);
        });
    };
    if (!model) {
        deliver("no item");
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
                             [deliver](const PhotoLibrary::SaveResult& result) { deliver(result.error); });
}

bool PavPhotoManager::deletePhoto(const PavPhotoModel& model)
{
    if (!m_encryptAlbumOp->deleteRecord(model))
        return false;
    PavFileManagerHelp::deleteFileInFullPath(getPhotoFullPath(model));
    PavFileManagerHelp::deleteFileInFullPath(thumbnailPath(model));
    m_isUpdated = true;
    return true;
}

bool PavPhotoManager::deleteRecord(const PavPhotoModel& model)
{
    return m_encryptAlbumOp->deleteRecord(model);
}

PavPhotoModelList PavPhotoManager::photoesWithType(int type)
{
    return m_encryptAlbumOp->photoesWithType(type);
}

PavPhotoModelList PavPhotoManager::photoes()
{
    return m_encryptAlbumOp->photoes();
}

int PavPhotoManager::removeOrphans()
{
    // <uuid>, <uuid>.thumb, and the temporary files of unfinished writes of either.
    static const QRegularExpression itemName(
        QStringLiteral("^([0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})"
                       "(\\.thumb)?(\\..*\\%1)?$")
            .arg(AtomicFile::kTempSuffix));
    QSet<QString> stored;
    if (!m_encryptAlbumOp->photoUUIDs(&stored))
        return 0;
    QStringList orphans;
    bool anyFullItem = false;
    const QStringList names = QDir(m_photoDir).entryList(QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = itemName.match(name);
        if (!match.hasMatch())
            continue;
        const bool unfinished = match.capturedLength(3) > 0;
        anyFullItem = anyFullItem || (!unfinished && match.capturedLength(2) == 0);
        if (unfinished || !stored.contains(match.captured(1)))
            orphans << name;
    }
    if (orphans.isEmpty())
        return 0;
    // An index with no rows beside stored photos is a lost or damaged index,
    // not an empty album: there is nothing to compare against. (Thumbnails
    // and unfinished writes alone are what a crash in the last delete or the
    // first store leaves.)
    if (stored.isEmpty() && anyFullItem) {
        qWarning("private album: the index in %s lists no items but %d item files are present; "
                 "nothing is moved",
                 qUtf8Printable(m_photoDir), int(orphans.size()));
        return 0;
    }
    const QString quarantine = m_photoDir + "/" + kQuarantineFolder;
    if (!QDir().mkpath(quarantine))
        return 0;
    int moved = 0;
    for (const QString& name : orphans) {
        QString target = quarantine + "/" + name;
        for (int n = 1; QFileInfo::exists(target); ++n)
            target = quarantine + "/" + name + "." + QString::number(n);
        if (QFile::rename(m_photoDir + "/" + name, target))
            ++moved;
    }
    qWarning("private album: moved %d file(s) that no row of the index names into %s", moved,
             qUtf8Printable(quarantine));
    return moved;
}
