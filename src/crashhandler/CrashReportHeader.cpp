#include "crashhandler/CrashReportHeader.h"

#include "crashhandler/CrashFolderFile.h"

#include <QDateTime>
#include <QRegularExpression>

namespace {

// The value of the first line starting with `label` after position `from`;
// the position of its line end in *end. Null when there is no such line.
QByteArray lineValue(const QByteArray& text, const QByteArray& label, qsizetype from, qsizetype* end)
{
    const qsizetype at = text.indexOf("\n" + label, from);
    if (at < 0)
        return {};
    const qsizetype start = at + 1 + label.size();
    const qsizetype stop = text.indexOf('\n', start);
    if (stop < 0)
        return {};
    *end = stop;
    return text.mid(start, stop - start);
}

// "%d-%02d-%02d %02d:%02d:%02d.%03d %+05d": local time and the zone as hhmm.
std::optional<qint64> dateTimeMs(const QByteArray& text)
{
    static const QRegularExpression form(
        "^(\\d{1,6})-(\\d\\d)-(\\d\\d) (\\d\\d):(\\d\\d):(\\d\\d)\\.(\\d\\d\\d) ([+-])(\\d\\d)(\\d\\d)$");
    const QRegularExpressionMatch m = form.match(QString::fromLatin1(text));
    if (!m.hasMatch())
        return std::nullopt;
    const auto n = [&m](int i) { return m.captured(i).toInt(); };
    const QDate date(n(1), n(2), n(3));
    const QTime time(n(4), n(5), n(6), n(7));
    if (!date.isValid() || !time.isValid() || n(10) >= 60)
        return std::nullopt;
    const qint64 offsetMs = (m.captured(8) == "-" ? -1 : 1) * (qint64(n(9)) * 3600 + n(10) * 60) * 1000;
    return QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch() - offsetMs;
}

}

std::optional<CrashReportHeader> CrashReportHeader::parse(const QByteArray& head)
{
    static const QByteArray kFirst = "Hardware Model: ";
    qsizetype start = 0;
    if (head.startsWith("Objective-C exception:\n")) {
        start = head.indexOf("\n" + kFirst);
        if (start < 0)
            return std::nullopt;
        ++start;
    } else if (!head.startsWith(kFirst)) {
        return std::nullopt;
    }
    qsizetype at = start;
    const QByteArray process = lineValue(head, "Process: ", at, &at);
    const qsizetype open = process.lastIndexOf(" [");
    if (process.isNull() || open < 0 || !process.endsWith(']'))
        return std::nullopt;
    bool ok = false;
    CrashReportHeader header;
    header.processName = process.left(open);
    header.pid = process.mid(open + 2, process.size() - open - 3).toInt(&ok);
    const QByteArray date = lineValue(head, "Date/Time: ", at, &at);
    const std::optional<qint64> time = dateTimeMs(date);
    qsizetype end = 0;
    if (!ok || !time || lineValue(head, "Report Version:  ", at, &end) != "104")
        return std::nullopt;
    header.time = *time;
    return header;
}

std::optional<CrashReportHeader> CrashReportHeader::read(const QString& path)
{
    QByteArray head;
    if (!CrashFolderFile::readHead(path, &head, kMaxBytes))
        return std::nullopt;
    return parse(head);
}
