#include "CrashFixture.h"

#include "support/CrashRecords.h"

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

QString CrashFixture::leaveCrash(const QString& stamp, QMap<QString, QByteArray> facts, const QByteArray& report)
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

QByteArray factsText(const QMap<QString, QByteArray>& facts)
{
    QByteArray text;
    for (auto it = facts.cbegin(); it != facts.cend(); ++it)
        text += it.key().toUtf8() + " " + QByteArray::number(it.value().size()) + ":" + it.value() + "\n";
    return text;
}
