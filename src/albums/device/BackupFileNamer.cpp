#include "albums/device/BackupFileNamer.h"

#include "platform/photolib/PhotoAsset.h"

BackupFileNamer::BackupFileNamer(const QDateTime& batchStart)
    : m_timeText(batchStart.toLocalTime().toString(QStringLiteral("yyyyMMddHHmmss")))
{
}

QString BackupFileNamer::nextName(const QString& assetUrl)
{
    ++m_counter;
    return QStringLiteral("%1%2.%3")
        .arg(m_timeText)
        .arg(m_counter, 3, 10, QLatin1Char('0'))
        .arg(PhotoAsset::extensionOfUrl(assetUrl));
}
