#include "crashhandler/PendingCrash.h"

#include "crashhandler/ConversionMark.h"
#include "crashhandler/CrashFolderFile.h"
#include "crashhandler/CrashReportHeader.h"
#include "platform/core/DamagedDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <ctime>
#include <unistd.h>

namespace {

const QRegularExpression& attemptSuffix()
{
    static const QRegularExpression suffix("\\.try(\\d+)$");
    return suffix;
}

qint64 milliseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

// When a running process started, in ms since 1970; -1 when no process of
// that id runs (a zombie has ended).
qint64 processStart(int pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const qsizetype nameEnd = text.lastIndexOf(')');
    if (nameEnd < 0)
        return -1;
    // After the name: the state (field 3) ... the start time (field 22), in
    // clock ticks since boot.
    const QList<QByteArray> fields = text.mid(nameEnd + 2).split(' ');
    if (fields.size() < 20 || fields[0] == "Z" || fields[0] == "X")
        return -1;
    bool ok = false;
    const qint64 ticks = fields[19].toLongLong(&ok);
    if (!ok)
        return -1;
    const qint64 bootedAt = milliseconds(CLOCK_REALTIME) - milliseconds(CLOCK_BOOTTIME);
    return bootedAt + ticks * 1000 / sysconf(_SC_CLK_TCK);
}

// The kernel's name of a running process ("comm"); null when unknown.
QByteArray processName(int pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (pid <= 0 || !comm.open(QIODevice::ReadOnly))
        return {};
    const QByteArray name = comm.read(64);
    return name.endsWith('\n') ? name.chopped(1) : name;
}

// The pid of a report's "Process: <name> [<pid>]" line; 0 when none.
int reportPid(const QString& path)
{
    QByteArray head;
    if (!CrashFolderFile::readHead(path, &head, 8192))
        return 0;
    qsizetype at = head.startsWith("Process: ") ? 0 : head.indexOf("\nProcess: ");
    if (at < 0)
        return 0;
    const qsizetype end = head.indexOf('\n', at + 1);
    const QByteArray line = head.mid(at, end < 0 ? -1 : end - at);
    const qsizetype open = line.lastIndexOf('[');
    const qsizetype close = line.lastIndexOf(']');
    if (open < 0 || close < open)
        return 0;
    return line.mid(open + 1, close - open - 1).toInt();
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

void PendingCrash::removeEmptyReports(const QString& directory)
{
    QSet<QString> named;
    for (const QString& path : list(directory)) {
        const PendingCrash pending(path);
        const auto facts = pending.facts();
        named << pending.stemReport() << pending.reportPath(facts, "crashPath") << pending.reportPath(facts, "backPath");
    }
    const QDir dir(directory);
    for (const QFileInfo& report : dir.entryInfoList({"crash_*.log"}, QDir::Files)) {
        if (report.size() == 0 && !named.contains(report.absoluteFilePath()))
            QFile::remove(report.absoluteFilePath());
    }
}

PendingCrash::PendingCrash(QString factsPath) : m_path(std::move(factsPath)) {}

int PendingCrash::attempts() const
{
    const auto match = attemptSuffix().match(m_path);
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

bool PendingCrash::beginConversion()
{
    QString base = m_path;
    base.remove(attemptSuffix());
    return ConversionMark::set(m_path, base + ".try" + QString::number(attempts() + 1));
}

void PendingCrash::endConversion()
{
    ConversionMark::clear();
}

QMap<QString, QByteArray> PendingCrash::facts() const
{
    return CrashFacts::read(m_path);
}

CrashFacts::Contents PendingCrash::contents() const
{
    return CrashFacts::load(m_path);
}

void PendingCrash::setAside(const char* why)
{
    const QString aside = DamagedDatabase::moveAside(m_path);
    if (aside.isEmpty())
        qWarning("crash facts %s %s and cannot be moved aside", qUtf8Printable(m_path), why);
    else
        qWarning("crash facts %s %s; moved aside to %s", qUtf8Printable(m_path), why, qUtf8Printable(aside));
}

QString PendingCrash::reportPath(const QMap<QString, QByteArray>& facts, const char* key) const
{
    if (!facts.contains("crashPath") && !facts.contains("backPath"))
        return stemReport();
    const QString name = QFileInfo(QString::fromUtf8(facts.value(key))).fileName();
    if (!name.startsWith("crash_") || !name.endsWith(".log"))
        return {};
    return QFileInfo(m_path).absoluteDir().filePath(name);
}

QString PendingCrash::ownReport(const QMap<QString, QByteArray>& facts, const char* key) const
{
    const QString report = reportPath(facts, key);
    return belongs(report, facts) ? report : QString();
}

bool PendingCrash::belongs(const QString& report, const QMap<QString, QByteArray>& facts) const
{
    bool known = false;
    const qint64 time = facts.value("time").toLongLong(&known);
    if (report.isEmpty() || !known)
        return false;
    const std::optional<CrashReportHeader> header = CrashReportHeader::read(report);
    if (!header)
        return false;
    bool pidKnown = false;
    const int pid = facts.value("pid").toInt(&pidKnown);
    if (pidKnown && header->pid != pid)
        return false;
    return header->time >= time - kReportTimeSlackMs && header->time <= time + kReportTimeSlackMs;
}

bool PendingCrash::writerIsAlive(const QMap<QString, QByteArray>& facts) const
{
    bool known = false;
    const qint64 time = facts.value("time").toLongLong(&known);
    if (!known)
        return false;
    int pid = facts.value("pid").toInt();
    if (pid == 0)
        pid = reportPid(reportPath(facts, "crashPath"));
    if (pid == 0)
        pid = reportPid(reportPath(facts, "backPath"));
    if (pid == 0)
        return false;
    // A process of that id that started after the crash took a dead
    // writer's id.
    const qint64 started = processStart(pid);
    if (started < 0 || started > time)
        return false;
    // So did one of another name (a home carried over from another machine
    // or another pid namespace, where a long-running process has that id).
    for (const char* key : {"crashPath", "backPath"}) {
        const std::optional<CrashReportHeader> header = CrashReportHeader::read(reportPath(facts, key));
        if (header && header->pid == pid)
            return header->processName == processName(pid);
    }
    return true;
}

QString PendingCrash::stemReport() const
{
    QString stem = m_path;
    stem.remove(attemptSuffix());
    stem.chop(int(qstrlen(".facts")));
    return QFileInfo(stem + ".log").absoluteFilePath();
}

void PendingCrash::removeReports(const QMap<QString, QByteArray>& facts) const
{
    for (const QString& report : {reportPath(facts, "crashPath"), reportPath(facts, "backPath"), stemReport()}) {
        if (belongs(report, facts))
            QFile::remove(report);
    }
}

void PendingCrash::discard()
{
    removeReports(facts());
    QFile::remove(m_path);
}

bool PendingCrash::discardUnwritten()
{
    const QFileInfo report(stemReport());
    if (report.exists() || report.isSymLink()) {
        if (report.isSymLink() || report.size() != 0)
            return false;
        QFile::remove(report.absoluteFilePath());
    }
    QFile::remove(m_path);
    return true;
}
