#include "crashhandler/CrashReporter.h"

#include "analytics/AnaModel.h"
#include "analytics/AnalyticsPersistObjectRegister.h"
#include "crashhandler/CBugReport.h"
#include "crashhandler/CrashAttachFile.h"
#include "crashhandler/CrashHandler.h"
#include "crashhandler/CrashInstall.h"
#include "crashhandler/CrashUploader.h"


CrashReporter::CrashReporter(CrashHandler& handler, AnaModel& model, QString directory)
    : m_handler(handler), m_model(model), m_directory(std::move(directory))
{
    m_installer = [] {
        // The launch armed the writer first thing; a host that did not gets it here.
        if (CBugReport::installedCount() == 0)
            installCrashHandler();
        startCrashClockRefresh();
        CBugReport::setRecordStep(&CrashHandler::crashRecordStep);
    };
}

CrashReporter& CrashReporter::sharedInstance()
{
    static CrashReporter* reporter = [] {
        AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<NSExpUpload>(NSExpUpload::kPersistType);
        auto* made = new CrashReporter(CrashHandler::sharedInstance(), AnaModel::getDefualtAnaModel(),
                                       QString::fromUtf8(crashDirectory()));
        CrashUploader::installFor(*made);
        return made;
    }();
    return *reporter;
}

void CrashReporter::install(const QString& userNumber, bool uploadAtomatic)
{
    m_model.setQua(userNumber.isEmpty() ? QString("") : userNumber);
    if (m_installed.exchange(true))
        return;
    if (m_installer)
        m_installer();
    if (uploadAtomatic)
        uploadCrashes(nullptr);
}

void CrashReporter::setGUID(const QString& guid)
{
    m_model.setGuid(guid.isEmpty() ? QString("unknown") : guid);
}

QString CrashReporter::attachFilePath() const
{
    return CrashAttachFile(m_directory).path();
}

QMap<QString, QString> CrashReporter::attachLogs() const
{
    return CrashAttachFile(m_directory).read();
}

void CrashReporter::setAttachLog(const QString& text)
{
    const CrashHandler::CurrentCrash crash = m_handler.currentCrash();
    if (text.isNull() || crash.address.isEmpty() || crash.time == 0)
        return;
    const CrashAttachFile file(m_directory);
    QMap<QString, QString> logs = file.read();
    logs.insert(QString::number(crash.time), text);
    file.write(logs);
}

bool CrashReporter::checkCrash()
{
    return m_handler.expExist();
}

QStringList CrashReporter::getCrashStackShortNames() const
{
    return m_handler.currentCrash().shortNames;
}

bool CrashReporter::cleanCrashRecord()
{
    m_handler.cleanAllCrashReport();
    return true;
}

void CrashReporter::uploadCrashes(CrashReporterDelegate* delegate)
{
    if (m_uploader)
        m_uploader(delegate);
}
