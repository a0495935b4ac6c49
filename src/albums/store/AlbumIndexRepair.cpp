#include "albums/store/AlbumIndexRepair.h"

#include "Public/PavEncryptManager.h"
#include "albums/store/DBOEncryptAlbumOp.h"
#include "albums/store/ItemId.h"
#include "platform/core/AtomicFile.h"
#include "platform/media/DecodeMemoryBudget.h"
#include "platform/media/ImageCodec.h"
#include "platform/media/VideoReader.h"
#include "platform/photolib/ExifFacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <unistd.h>

namespace {

// <uuid>, <uuid>.thumb, and the temporary files of unfinished writes of
// either (or of a content probe).
const QRegularExpression& itemName()
{
    static const QRegularExpression re(QRegularExpression::anchoredPattern(
        QStringLiteral("(%1)(\\.thumb)?(\\..*\\%2)?")
            .arg(ItemId::pattern(), QString::fromLatin1(AtomicFile::kTempSuffix))));
    return re;
}

// The deciphered content as a file only this user can read, for the readers
// that take a path (EXIF, the video container); removed when it goes. It
// is made by the one writer: a link planted at its name is replaced, never
// written through.
class PlainCopy {
public:
    PlainCopy(const QString& itemPath, const QByteArray& plain)
        : m_path(itemPath + "." + QString::number(::getpid()) + ".probe" + AtomicFile::kTempSuffix)
    {
        AtomicFile::Options options;
        options.sync = false;
        m_ok = AtomicFile::writeNative(QFile::encodeName(m_path), plain, nullptr, options);
    }
    ~PlainCopy() { QFile::remove(m_path); }
    PlainCopy(const PlainCopy&) = delete;
    PlainCopy& operator=(const PlainCopy&) = delete;

    bool ok() const { return m_ok; }
    const QString& path() const { return m_path; }

private:
    QString m_path;
    bool m_ok = false;
};

bool moveInto(const QString& folder, const QString& from, const QString& name)
{
    QString target = folder + "/" + name;
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = folder + "/" + name + "." + QString::number(n);
    return QFile::rename(from, target);
}

}

AlbumIndexRepair::AlbumIndexRepair(QString photoDir, DBOEncryptAlbumOp& op, QString quarantineFolder,
                                   int thumbnailSide, Watch watch)
    : m_photoDir(std::move(photoDir)),
      m_op(op),
      m_quarantine(std::move(quarantineFolder)),
      m_side(thumbnailSide),
      m_watch(watch)
{
}

AlbumIndexRepair::Content AlbumIndexRepair::rebuild(const QString& uuid, PavPhotoModel* out) const
{
    const QString fullPath = m_photoDir + "/" + uuid;
    bool readable = false;
    const QByteArray plain = PavEncryptManager::readDataFromPath(fullPath, &readable);
    // What cannot be read (a link, a FIFO, a file past what the store writes) is not judged.
    if (!readable)
        return Content::Unsure;
    if (plain.isEmpty())
        return Content::NotMedia;
    PlainCopy copy(fullPath, plain);
    if (!copy.ok())
        return Content::Unsure;

    PavPhotoModel& model = *out;
    model.setPhotoUUID(uuid);
    model.setPhotoPath(uuid);
    model.setPhotoSize(quint64(plain.size()));
    const QSize side(m_side, m_side);
    const QString thumbPath = fullPath + ".thumb";
    // A decode waiting for memory gives up on a stop; what it then did not
    // see is not judged.
    const auto stopRequested = [stop = m_watch.stop] { return stop && stop->load(); };
    const DecodeMemoryBudget::StopCheck stopCheck(m_watch.stop ? std::function<bool()>(stopRequested) : nullptr);
    const bool ownThumbnail = !ImageCodec::decodeScaled(
        PavEncryptManager::readDataFromPath(thumbPath, nullptr, ItemId::readCap(thumbPath)), side).isNull();
    std::optional<QDateTime> date;
    // A picture that has its own thumbnail is told by its header: decoding
    // every photo of a large album again would keep the start waiting for
    // minutes.
    QImage thumbnail;
    const bool picture = (ownThumbnail && ImageCodec::hasPictureHeader(plain))
        || !(thumbnail = ImageCodec::thumbnailFromData(plain, side)).isNull()
        || ImageCodec::isTooLargeToDecode(plain);  // too large to decode, shown by a placeholder
    if (stopRequested())
        return Content::Unsure;
    if (picture) {
        model.setPhotoType(PavPhotoModel::Photo);
        date = ExifFacts::read(copy.path()).date;
    } else if (const std::optional<VideoReader::Info> video = VideoReader::probe(copy.path())) {
        model.setPhotoType(PavPhotoModel::Video);
        model.setVideoDuration(video->duration);
        date = video->creationTime;
        thumbnail = ImageCodec::thumbnailWithSize(VideoReader::poster(copy.path(), 2 * m_side), side);
    } else {
        return Content::NotMedia;
    }
    model.setPhotoCreateTime(date ? *date : QFileInfo(fullPath).lastModified().toUTC());

    if (!ownThumbnail) {
        if (thumbnail.isNull()) {
            thumbnail = QImage(side, QImage::Format_RGB32);
            thumbnail.fill(Qt::black);
        }
        const QByteArray jpeg = ImageCodec::encodeJpeg(thumbnail, 100);
        if (jpeg.isEmpty() || !PavEncryptManager::writeData(jpeg, thumbPath))
            return Content::Unsure;
    }
    return Content::Media;
}

AlbumIndexRepair::Result AlbumIndexRepair::run()
{
    Result result;
    QSet<QString> stored;
    if (!m_op.photoUUIDs(&stored))
        return result;
    QStringList temporary;
    QStringList fullWithoutRow;
    QSet<QString> thumbWithoutRow;
    QSet<QString> storedFull;
    QSet<QString> storedThumb;
    // System lists a dangling link too: one at a temporary name is swept.
    const QStringList names = QDir(m_photoDir).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = itemName().match(name);
        if (!match.hasMatch())
            continue;
        const QString uuid = match.captured(1);
        if (match.capturedLength(3) > 0)
            temporary << name;
        else if (stored.contains(uuid))
            (match.capturedLength(2) > 0 ? storedThumb : storedFull).insert(uuid);
        else if (match.capturedLength(2) > 0)
            thumbWithoutRow.insert(uuid);
        else
            fullWithoutRow << uuid;
    }

    for (const QString& name : temporary)
        result.removed += QFile::remove(m_photoDir + "/" + name);

    // Rows go in a chunk at a time: a large album takes minutes to look
    // through, and what was rebuilt must survive a kill or a full disk on
    // the way (the next start then picks up where this one stopped).
    // A stored item that lost only its thumbnail gets it back: without it
    // the item does not count as stored, and the same photo would be stored
    // a second time.
    const auto stopRequested = [this] { return m_watch.stop && m_watch.stop->load(); };
    int thumbnails = 0;
    for (const QString& uuid : storedFull - storedThumb) {
        if (stopRequested())
            return result;
        PavPhotoModel scratch;
        thumbnails += rebuild(uuid, &scratch) == Content::Media;
    }
    if (thumbnails > 0)
        qWarning("private album: made %d lost thumbnail(s) again in %s", thumbnails, qUtf8Printable(m_photoDir));

    PavPhotoModelList rows;
    const auto enter = [&] {
        if (rows.isEmpty())
            return true;
        if (!m_op.insertRecords(rows)) {
            qWarning("private album: %d item file(s) without a row could not be entered in the index",
                     int(rows.size()));
            return false;
        }
        result.rebuilt += int(rows.size());
        rows.clear();
        return true;
    };
    QStringList aside;
    bool stopped = false;
    for (const QString& uuid : fullWithoutRow) {
        if ((stopped = stopRequested()))
            break;
        thumbWithoutRow.remove(uuid);
        auto model = std::make_shared<PavPhotoModel>();
        const Content content = rebuild(uuid, model.get());
        if (content == Content::Media) {
            rows << model;
            if (m_watch.restored)
                ++*m_watch.restored;
        }
        if (rows.size() >= kRowsPerCommit && !enter())
            return result;
        if (content != Content::NotMedia)
            continue;
        aside << uuid;
        if (QFileInfo::exists(m_photoDir + "/" + uuid + ".thumb"))
            aside << uuid + ".thumb";
    }
    for (const QString& uuid : thumbWithoutRow)
        aside << uuid + ".thumb";

    if (!enter())
        return result;
    if (result.rebuilt > 0) {
        m_op.checkpoint();
        qWarning("private album: rebuilt %d row(s) of the index in %s from the item files",
                 result.rebuilt, qUtf8Printable(m_photoDir));
    }
    // The thumbnails of items not looked at yet are not strays.
    if (stopped)
        return result;
    if (!aside.isEmpty() && QDir().mkpath(m_quarantine)) {
        for (const QString& name : aside)
            result.movedAside += moveInto(m_quarantine, m_photoDir + "/" + name, name);
        qWarning("private album: moved %d file(s) that hold no picture or video into %s", result.movedAside,
                 qUtf8Printable(m_quarantine));
    }
    return result;
}
