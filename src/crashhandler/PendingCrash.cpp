#include "crashhandler/PendingCrash.h"

#include "crashhandler/CrashFacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QRegularExpression& attemptSuffix()
{
    static const QRegularExpression suffix("\\.try(\\d+)$");
    return suffix;
}

}

QStringList PendingCrash::list(const QString& directory)
{
    QDir dir(directory);
    static const QRegularExpression name("^crash_[^/]*\\.facts(\\.try\\d+)?$");
    QStringList paths;
    for (const QString& entry : dir.entryList({"crash_*.facts*"}, QDir::Files, QDir::Name))
        if (name.match(entry).hasMatch())
            paths << dir.filePath(entry);
    return paths;
}

PendingCrash::PendingCrash(QString factsPath) : m_path(std::move(factsPath)) {}

int PendingCrash::attempts() const
{
    const auto match = attemptSuffix().match(m_path);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

bool PendingCrash::claim()
{
    const int next = attempts() + 1;
    QString base = m_path;
    base.remove(attemptSuffix());
    const QString renamed = base + ".try" + QString::number(next);
    QFile::remove(renamed);
    if (!QFile::rename(m_path, renamed))
        return false;
    m_path = renamed;
    return true;
}

QMap<QString, QByteArray> PendingCrash::facts() const
{
    return CrashFacts::read(m_path);
}

QString PendingCrash::reportPath(const QMap<QString, QByteArray>& facts, const char* key) const
{
    const QFileInfo report(QString::fromUtf8(facts.value(key)));
    if (!report.fileName().startsWith("crash_") || !report.fileName().endsWith(".log"))
        return {};
    if (report.absolutePath() != QFileInfo(m_path).absolutePath())
        return {};
    return report.absoluteFilePath();
}

void PendingCrash::discard()
{
    const auto known = facts();
    for (const char* key : {"crashPath", "backPath"}) {
        const QString report = reportPath(known, key);
        if (!report.isEmpty())
            QFile::remove(report);
    }
    QString stem = m_path;
    stem.remove(attemptSuffix());
    stem.chop(int(qstrlen(".facts")));
    QFile::remove(stem + ".log");
    QFile::remove(m_path);
}
