#pragma once

#include <QDateTime>
#include <QString>

// Names the files of one backup: the batch's start time ("yyyyMMddHHmmss",
// local time), a three-digit counter and the item's extension, the text
// after the last "=" of its asset URL. Two items of one batch never share a
// name.
class BackupFileNamer {
public:
    explicit BackupFileNamer(const QDateTime& batchStart);

    const QString& timeText() const { return m_timeText; }
    // The next item's name; the counter starts at 1.
    QString nextName(const QString& assetUrl);

private:
    QString m_timeText;
    int m_counter = 0;
};
