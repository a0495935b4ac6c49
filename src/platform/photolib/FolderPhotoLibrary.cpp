#include "platform/photolib/FolderPhotoLibrary.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/MainThread.h"
#include "platform/core/PrivateFiles.h"
#include "platform/core/SerialQueue.h"
#include "platform/photolib/FolderScan.h"
#include "platform/photolib/LibraryTempFiles.h"
#include "platform/photolib/NativeName.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString errnoText(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

// Letters and digits only: an extension never names another folder.
bool isPlainExtension(const QString& ext)
{
    static const QRegularExpression plain(QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9]{0,16}")));
    return plain.match(ext).hasMatch();
}

void syncFolder(const QByteArray& folder)
{
    const int dfd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
}
}

FolderPhotoLibrary::FolderPhotoLibrary(QString root)
    : m_root(QDir(root).absolutePath()), m_saveQueue(std::make_unique<SerialQueue>("PhotoLibrarySave"))
{
}

FolderPhotoLibrary::~FolderPhotoLibrary()
{
    m_saveQueue.reset();
}

QString FolderPhotoLibrary::defaultRoot()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? QDir::homePath() + "/Pictures" : pictures;
}

bool FolderPhotoLibrary::isItemName(const QString& fileName)
{
    return !fileName.isEmpty() && !fileName.startsWith('.') && !fileName.endsWith(AtomicFile::kTempSuffix);
}

void FolderPhotoLibrary::setVideoProbe(VideoProbe probe)
{
    std::lock_guard lock(m_mutex);
    m_probe = std::move(probe);
}

VideoProbe FolderPhotoLibrary::videoProbe() const
{
    std::lock_guard lock(m_mutex);
    return m_probe;
}

void FolderPhotoLibrary::remember(const FolderPhotoAsset& asset)
{
    std::lock_guard lock(m_mutex);
    m_pathById.insert(asset.assetId(), asset.filePath());
}

PhotoAssetPtr FolderPhotoLibrary::assetForFile(const QString& path)
{
    // Only text from QFileInfo: its look-ups would re-encode a name that is
    // not UTF-8 (see NativeName).
    const QFileInfo info(path);
    const QString absolute = info.absoluteFilePath();
    if (!isItemName(info.fileName()) || !absolute.startsWith(m_root + "/") || !FolderScan::stat(absolute, QString()))
        return nullptr;
    auto asset = std::make_shared<FolderPhotoAsset>(m_root, absolute, videoProbe());
    remember(*asset);
    return asset;
}

PhotoAssetPtr FolderPhotoLibrary::assetForUrl(const QString& url)
{
    const QString id = FolderPhotoAsset::idOfUrl(url);
    if (id.isEmpty())
        return nullptr;
    QString known;
    {
        std::lock_guard lock(m_mutex);
        known = m_pathById.value(id);
    }
    if (!known.isEmpty()) {
        PhotoAssetPtr asset = assetForFile(known);
        if (asset && asset->url() == url)
            return asset;
    }
    // Not seen (listings leave ids unworked): one pass learns every file's id.
    QHash<QString, QString> byId;
    for (const FolderScan::Entry& entry : FolderScan::scan(m_root, FolderScan::FileOrder::AsRead)) {
        if (!entry.isAlbum)
            byId.insert(FolderPhotoAsset::idForFile(entry), m_root + "/" + entry.relativePath);
    }
    known = byId.value(id);
    {
        std::lock_guard lock(m_mutex);
        m_pathById = std::move(byId);
    }
    if (known.isEmpty())
        return nullptr;
    PhotoAssetPtr asset = assetForFile(known);
    return asset && asset->url() == url ? asset : nullptr;
}

QStringList FolderPhotoLibrary::scanFiles() const
{
    QStringList files;
    for (const FolderScan::Entry& entry : FolderScan::scan(m_root)) {
        if (!entry.isAlbum)
            files.append(m_root + QLatin1Char('/') + entry.relativePath);
    }
    return files;
}

void FolderPhotoLibrary::saveToLibrary(const QByteArray& bytes, const QString& ext, const QDateTime& date,
                                       SaveCompletion completion)
{
    m_saveQueue->async([this, bytes, ext, date, completion = std::move(completion)]() mutable {
        SaveResult result;
        QString path;
        if (m_savesStopped)
            result.error = "the program is ending";
        else if (bytes.isEmpty())
            result.error = "nothing to save";
        // A folder whose name is not UTF-8 came from --library, taken as it is (not made).
        else if (NativeName::isPlain(m_root) && !PrivateFiles::makeSharedPath(m_root))
            result.error = "cannot create the library folder";
        else if (writeNewFile(m_root, bytes, ext, date, &path, &result.error)) {
            if (PhotoAssetPtr asset = assetForFile(path))
                result.url = asset->url();
        } else if (result.error.isEmpty()) {
            result.error = "save failed";
        }
        MainThread::post([completion = std::move(completion), result] {
            if (completion)
                completion(result);
        });
    });
}

void FolderPhotoLibrary::stopSaves()
{
    m_savesStopped = true;
    // The process may end without destroying the library (a holder that
    // lives to the end): its save thread must not be cut off mid-write.
    m_saveQueue->drain();
}

bool FolderPhotoLibrary::writeNewFile(const QString& folder, const QByteArray& bytes, const QString& ext,
                                      const QDateTime& date, QString* path, QString* error)
{
    if (!isPlainExtension(ext)) {
        *error = "the extension may hold only letters and digits";
        return false;
    }
    const QString suffix = ext.isEmpty() ? QString() : "." + ext;
    const QString base = "IMG_" + QDateTime::currentDateTime().toString("yyyyMMdd_HHmmss");
    const QByteArray dir = NativeName::encode(folder);
    static std::atomic<int> serial{0};
    const QByteArray temp = LibraryTempFiles::pathFor(dir, base, serial++);

    QString writeError;
    if (!AtomicFile::writeNative(temp, bytes, &writeError)) {
        *error = writeError;
        return false;
    }
    // A library file is an ordinary picture, readable by the user's other programs.
    ::chmod(temp.constData(), PrivateFiles::sharedFileMode());
    if (date.isValid()) {
        const qint64 ms = date.toMSecsSinceEpoch();
        struct timespec times[2];
        times[0].tv_sec = time_t(ms / 1000);
        times[0].tv_nsec = long(ms % 1000) * 1000000L;
        if (times[0].tv_nsec < 0) {
            times[0].tv_sec -= 1;
            times[0].tv_nsec += 1000000000L;
        }
        times[1] = times[0];
        ::utimensat(AT_FDCWD, temp.constData(), times, 0);
    }
    int err = 0;
    // link() never replaces an existing name; try the next name on a clash.
    for (int n = 0; n < 10000; ++n) {
        const QString name = base + (n == 0 ? QString() : "_" + QString::number(n)) + suffix;
        const QByteArray target = dir + "/" + QFile::encodeName(name);
        if (::link(temp.constData(), target.constData()) == 0) {
            ::unlink(temp.constData());
            syncFolder(dir);
            *path = folder + "/" + name;
            return true;
        }
        if (errno != EEXIST) {
            err = errno;
            ::unlink(temp.constData());
            *error = errnoText(err);
            return false;
        }
    }
    ::unlink(temp.constData());
    *error = "no free file name";
    return false;
}
