#include "crashhandler/CrashFacts.h"

#include "analytics/AnaModel.h"
#include "crashhandler/CrashReportData.h"
#include "crashhandler/CrashState.h"
#include "crashhandler/CrashFolderFile.h"
#include "crashhandler/SafeOutput.h"

#include <QDir>
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
    numberField(out, "pid", s.pid);
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

CrashFacts::Contents CrashFacts::parse(const QByteArray& bytes)
{
    Contents contents;
    const char* p = bytes.constData();
    const qsizetype size = bytes.size();
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    const auto isNameChar = [&](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c); };
    qsizetype at = 0;
    while (at < size) {
        qsizetype i = at;
        while (i < size && isNameChar(p[i]))
            ++i;
        if (i == size)
            break;   // cut inside the name
        if (i == at || p[i] != ' ') {
            contents.damaged = true;
            break;
        }
        const qsizetype nameEnd = i++;
        const qsizetype digits = i;
        // The length stops growing once it is past the whole file: it cannot
        // overflow, and such a length ends the fields below.
        qsizetype len = 0;
        while (i < size && isDigit(p[i]) && len <= size)
            len = len * 10 + (p[i++] - '0');
        if (len > size || i == size)
            break;
        if (i == digits || p[i] != ':') {
            contents.damaged = true;
            break;
        }
        const qsizetype value = i + 1;
        if (len >= size - value)
            break;   // the value or its line end is past what is left
        if (p[value + len] != '\n') {
            contents.damaged = true;
            break;
        }
        contents.fields.insert(QString::fromUtf8(p + at, nameEnd - at), bytes.mid(value, len));
        at = value + len + 1;
    }
    if (size > 0 && contents.fields.isEmpty())
        contents.damaged = true;
    return contents;
}

CrashFacts::Contents CrashFacts::load(const QString& path)
{
    QByteArray bytes;
    switch (CrashFolderFile::readAll(path, &bytes, kMaxBytes)) {
    case CrashFolderFile::Read::Done:
        return parse(bytes);
    case CrashFolderFile::Read::TooLarge:
        return {{}, true};
    case CrashFolderFile::Read::Refused:
        break;
    }
    Contents refused;
    refused.refused = true;
    return refused;
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
