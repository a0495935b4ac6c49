#include "albums/cloud/CloudPhotoCopy.h"

#include "codec/Digest.h"
#include "disk/DiskFile.h"
#include "platform/core/RegularFile.h"
#include "platform/media/ImageCodec.h"

#include <QMutex>

#include <algorithm>

namespace {

// Counts the reports of damaged data an image decoder makes on this thread
// while it is alive (a JPEG with damaged data still decodes, with warnings);
// other messages, and those of other threads, go on to the handler that was
// there before.
class DecodeWarnings {
public:
    DecodeWarnings()
    {
        s_counter = &m_count;
        QMutexLocker lock(&s_mutex);
        if (s_users++ == 0)
            s_previous = qInstallMessageHandler(&DecodeWarnings::handle);
    }
    ~DecodeWarnings()
    {
        s_counter = nullptr;
        QMutexLocker lock(&s_mutex);
        if (--s_users == 0)
            qInstallMessageHandler(s_previous);
    }
    DecodeWarnings(const DecodeWarnings&) = delete;
    DecodeWarnings& operator=(const DecodeWarnings&) = delete;
    int count() const { return m_count; }

private:
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (s_counter && type == QtWarningMsg
            && (message.contains(QLatin1String("corrupt"), Qt::CaseInsensitive)
                || message.contains(QLatin1String("premature end"), Qt::CaseInsensitive)
                || message.contains(QLatin1String("crc error"), Qt::CaseInsensitive))) {
            ++*s_counter;
            return;
        }
        if (s_previous)
            s_previous(type, context, message);
    }

    int m_count = 0;
    static inline thread_local int* s_counter = nullptr;
    static inline QMutex s_mutex;
    static inline int s_users = 0;
    static inline QtMessageHandler s_previous = nullptr;
};

QString hexOf(const QByteArray& bytes, bool sha1)
{
    const std::string_view view(bytes.constData(), size_t(bytes.size()));
    return QString::fromStdString(sha1 ? codec_sha1_hex(view) : codec_md5_hex(view));
}

}

namespace CloudPhotoCopy {

QByteArray checkedBytes(const DiskFile& file)
{
    QByteArray bytes;
    const qint64 cap = std::min(file.file_size(), RegularFile::Cap::kPicture);
    if (!RegularFile::read(file.file_path(), cap, &bytes) || bytes.isEmpty() || bytes.size() != file.file_size())
        return {};
    const QString sha1 = file.sha1().toLower();
    const QString md5 = file.md5().toLower();
    if (!sha1.isEmpty() ? hexOf(bytes, true) != sha1 : !md5.isEmpty() && hexOf(bytes, false) != md5)
        return {};
    // A small decode is enough to know it is a picture; with no digest to
    // vouch for the bytes, one the decoder reports damage in is not saved.
    DecodeWarnings warnings;
    if (ImageCodec::decodeScaled(bytes, QSize(64, 64)).isNull())
        return {};
    if (sha1.isEmpty() && md5.isEmpty() && warnings.count() > 0)
        return {};
    return bytes;
}

}
