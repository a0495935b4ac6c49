#include "crashhandler/CrashFacts.h"

#include "analytics/AnaModel.h"
#include "crashhandler/CrashReportData.h"
#include "crashhandler/CrashState.h"
#include "crashhandler/SafeOutput.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace {

void field(SafeOutput& out, const char* name, const char* value)
{
    std::size_t len = 0;
    while (value && value[len])
        ++len;
    out.printf("%s %zu:", name, len);
    out.bytes(value ? value : "", len);
    out.text("\n");
}

void numberField(SafeOutput& out, const char* name, long long value)
{
    char text[24];
    SafeFormat::format(text, sizeof text, "%lld", value);
    field(out, name, text);
}

void modelField(SafeOutput& out, const char* name, const AnaModelSnapshot::Text* text)
{
    if (text && text->has)
        field(out, name, text->text);
}

}

bool CrashFacts::write(int dirFd, const char* fileName, const CrashState& s, const CrashReportData& data,
                       bool complete)
{
    const int fd = begin(dirFd, fileName, s, data);
    if (fd < 0)
        return false;
    if (complete)
        finish(fd, data);
    else
        close(fd);
    return true;
}

int CrashFacts::begin(int dirFd, const char* fileName, const CrashState& s, const CrashReportData& data)
{
    if (dirFd < 0 || !fileName || !*fileName)
        return -1;
    int fd = openat(dirFd, fileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    SafeOutput out(fd);
    numberField(out, "time", data.time);
    numberField(out, "signal", s.signal);
    numberField(out, "code", s.code);
    field(out, "type", data.type.c_str());
    field(out, "error", data.error.c_str());
    field(out, "address", data.address.c_str());
    numberField(out, "pass", s.reentryCount.load());
    field(out, "reportOpened", s.reportOpened ? "1" : "0");
    field(out, "crashPath", data.crashPath.c_str());
    field(out, "backPath", data.backPath.c_str());
    field(out, "active", s.appActive.load() ? "1" : "0");
    const AnaModelSnapshot* m = AnaModel::published();
    modelField(out, "qua", m ? &m->qua : nullptr);
    modelField(out, "guid", m ? &m->guid : nullptr);
    modelField(out, "appId", m ? &m->appId : nullptr);
    modelField(out, "appVersion", m ? &m->appVersion : nullptr);
    modelField(out, "contact", m ? &m->contact : nullptr);
    field(out, "deviceName", s.deviceName.c_str());
    const long long milli = (long long)(data.cpu * 1000.0f + (data.cpu < 0 ? -0.5f : 0.5f));
    char cpu[32];
    SafeFormat::format(cpu, sizeof cpu, "%s%lld.%03lld", milli < 0 ? "-" : "", (milli < 0 ? -milli : milli) / 1000,
                       (milli < 0 ? -milli : milli) % 1000);
    field(out, "cpu", cpu);
    numberField(out, "battery", data.battery);
    numberField(out, "freeMem", data.freeMem);
    numberField(out, "freeStorage", data.freeStoreage);
    numberField(out, "freeSDCard", data.freesdcard);
    out.flush();
    return fd;
}

void CrashFacts::finish(int fd, const CrashReportData& data)
{
    if (fd < 0)
        return;
    {
        SafeOutput out(fd);
        field(out, "thread", data.thread.c_str());
        field(out, "errorStack", data.errorStack.c_str());
        field(out, "crashStackShortNames", data.crashStackShortNames.c_str());
        field(out, "binInfo", data.binInfo.c_str());
        field(out, "complete", "1");
    }
    close(fd);
}

QMap<QString, QByteArray> CrashFacts::read(const QString& path)
{
    QMap<QString, QByteArray> facts;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return facts;
    QByteArray all = file.readAll();
    qsizetype at = 0;
    while (at < all.size()) {
        qsizetype space = all.indexOf(' ', at);
        qsizetype colon = space < 0 ? -1 : all.indexOf(':', space);
        if (colon < 0)
            break;
        bool ok = false;
        qsizetype len = all.mid(space + 1, colon - space - 1).toLongLong(&ok);
        if (!ok || len < 0 || colon + 1 + len + 1 > all.size() || all.at(colon + 1 + len) != '\n')
            break;   // a cut or damaged field ends the file
        facts.insert(QString::fromUtf8(all.mid(at, space - at)), all.mid(colon + 1, len));
        at = colon + 1 + len + 1;
    }
    return facts;
}

QStringList CrashFacts::pending(const QString& directory)
{
    QDir dir(directory);
    QStringList names = dir.entryList({"crash_*.facts"}, QDir::Files, QDir::Name);
    QStringList paths;
    for (const QString& name : names)
        paths << dir.filePath(name);
    return paths;
}
