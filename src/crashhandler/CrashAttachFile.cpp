#include "crashhandler/CrashAttachFile.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

CrashAttachFile::CrashAttachFile(const QString& directory) : m_path(QDir(directory).filePath(kFileName)) {}

QMap<QString, QString> CrashAttachFile::read() const
{
    QMap<QString, QString> logs;
    QByteArray bytes;
    if (!RegularFile::read(m_path, RegularFile::Cap::kCrashLogs, &bytes))
        return logs;
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    for (auto it = object.begin(); it != object.end(); ++it)
        if (it.value().isString())
            logs.insert(it.key(), it.value().toString());
    return logs;
}

void CrashAttachFile::write(const QMap<QString, QString>& logs) const
{
    // An existing file that is empty or unreadable is replaced, not merged.
    QFile::remove(m_path);
    if (logs.isEmpty())
        return;
    QJsonObject object;
    for (auto it = logs.cbegin(); it != logs.cend(); ++it)
        object.insert(it.key(), it.value());
    AtomicFile::write(m_path, QJsonDocument(object).toJson(QJsonDocument::Compact));
}

bool CrashAttachFile::remove(const QList<qint64>& times) const
{
    QMap<QString, QString> logs = read();
    bool changed = false;
    for (qint64 time : times)
        changed = logs.remove(QString::number(time)) > 0 || changed;
    if (changed)
        write(logs);
    return changed;
}
