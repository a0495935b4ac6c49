#include "CrashFixture.h"

#include "support/CrashRecords.h"

#include <QDateTime>

CrashFixture::CrashFixture() : store(home.documents(), &clock), handler(store, clock, home.documents())
{
    AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<NSExpUpload>(NSExpUpload::kPersistType);
    store.initDB(nullptr);
    handler.setWlanProbe([] { return false; });
    crashCallback.store(nullptr);
}

CrashFixture::~CrashFixture()
{
    crashCallback.store(nullptr);
}

QString CrashFixture::leaveCrash(const QString& stamp, QMap<QString, QByteArray> facts, const QByteArray& body)
{
    const int pid = facts.contains("pid") ? facts.value("pid").toInt() : 4242;
    return leaveCrashWithReport(stamp, facts, writerReport(facts.value("time").toLongLong(), pid, body));
}

QString CrashFixture::leaveCrashWithReport(const QString& stamp, QMap<QString, QByteArray> facts,
                                           const QByteArray& report)
{
    const QString dir = home.documents();
    const QString reportPath = dir + "/crash_" + stamp + ".log";
    QFile log(reportPath);
    EXPECT_TRUE(log.open(QIODevice::WriteOnly));
    log.write(report);
    log.close();
    if (!facts.contains("crashPath"))
        facts.insert("crashPath", reportPath.toUtf8());
    if (!facts.contains("backPath"))
        facts.insert("backPath", reportPath.toUtf8());
    const QString factsPath = dir + "/crash_" + stamp + ".facts";
    QFile file(factsPath);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(factsText(facts));
    return factsPath;
}

QString CrashFixture::leaveSimpleCrash(int n, int64_t time, const QByteArray& type, const QByteArray& appVersion)
{
    return leaveCrash(QString("2026_01_01_00_00_%1").arg(n, 2, 10, QChar('0')),
                      {{"time", QByteArray::number(qlonglong(time))},
                       {"type", type},
                       {"address", "0x" + QByteArray::number(n, 16)},
                       {"appId", "app"},
                       {"appVersion", appVersion}});
}

std::shared_ptr<NSExpUpload> CrashFixture::storeRecord(int64_t md5, int count, int64_t time)
{
    auto record = std::make_shared<NSExpUpload>();
    record->exceptionType = "SIGSEGV";
    record->setMd5(md5);
    record->setCount(count);
    record->setTime(time);
    record->cashTime = time;
    EXPECT_TRUE(store.updateObject(*record, nullptr));
    return record;
}

std::vector<std::shared_ptr<NSExpUpload>> CrashFixture::crashes()
{
    return CrashRecords::stored(store);
}

QStringList CrashFixture::crashFiles() const
{
    return QDir(home.documents()).entryList({"crash_*"}, QDir::Files, QDir::Name);
}

std::string attachmentText(const NSExpUpload& record, const std::string& name)
{
    for (const auto& a : record.attachmentList)
        if (a.fileName == name)
            return std::string(a.data.begin(), a.data.end());
    return "<none>";
}

std::string reportBody(const NSExpUpload& record, const std::string& name)
{
    const std::string text = attachmentText(record, name);
    const std::string end = "Report Version:  104\n\n";
    const std::size_t at = text.find(end);
    return at == std::string::npos ? text : text.substr(at + end.size());
}

QByteArray writerReport(qint64 timeMs, int pid, const QByteArray& body, const QByteArray& process)
{
    const QByteArray date = QDateTime::fromMSecsSinceEpoch(timeMs, Qt::UTC).toString("yyyy-MM-dd HH:mm:ss.zzz").toLatin1();
    return "Hardware Model: x86_64\nHardWare Localized Model: PC\nProcess: " + process + " [" + QByteArray::number(pid) +
           "]\nPath: /usr/bin/padolvo\nIdentifier: padolvo\nVersion:  1.0\nCode Type: X86-64 (Native)\n"
           "Parent Process: sh [1]\n\nDate/Time: " + date + " +0000\nOS Version: Linux\nDevice Name: host\n"
           "Report Version:  104\n\n" + body;
}

QByteArray factsText(const QMap<QString, QByteArray>& facts)
{
    QByteArray text;
    for (auto it = facts.cbegin(); it != facts.cend(); ++it)
        text += it.key().toUtf8() + " " + QByteArray::number(it.value().size()) + ":" + it.value() + "\n";
    return text;
}
