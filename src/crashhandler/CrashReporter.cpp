#include "crashhandler/CrashReporter.h"

#include "analytics/AnaModel.h"
#include "analytics/AnalyticsPersistObjectRegister.h"
#include "crashhandler/CBugReport.h"
#include "crashhandler/CrashAttachFile.h"
#include "crashhandler/CrashHandler.h"
#include "crashhandler/CrashInstall.h"
#include "crashhandler/CrashUploader.h"
#include "crashhandler/CrashUploadResultDelegete.h"


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
        uploadCrashes({});
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

void CrashReporter::uploadCrashes(std::weak_ptr<CrashUploadResultDelegete> delegate)
{
    if (m_uploader)
        m_uploader(std::move(delegate));
}

void CrashReporter::setUpload(CrashUploader* upload)
{
    m_upload = upload;
    setUploader([upload](std::weak_ptr<CrashUploadResultDelegete> delegate) { upload->uploadCrashes(std::move(delegate)); });
}

std::shared_ptr<CrashUploadResultDelegete> CrashReporter::delegate() const
{
    return m_upload ? m_upload->delegate() : nullptr;
}

void CrashReporter::setDelegate(std::weak_ptr<CrashUploadResultDelegete> delegate)
{
    if (m_upload)
        m_upload->setDelegate(std::move(delegate));
}

void CrashReporter::addCustomAttachLog(const Records& records)
{
    if (m_upload)
        m_upload->addCustomAttachLog(records);
}

std::shared_ptr<NSRequestPackage> CrashReporter::getUploadPkg(int32_t budget, bool clean)
{
    return m_upload ? m_upload->getUploadPkg(budget, clean) : nullptr;
}

void CrashReporter::doUpload()
{
    if (m_upload)
        m_upload->doUpload();
}

QByteArray CrashReporter::getUploadData(bool clean, AnaError* error)
{
    return m_upload ? m_upload->getUploadData(clean, error) : QByteArray();
}

bool CrashReporter::uploadFinishWithResult(bool success, AnaError* error)
{
    return m_upload ? m_upload->uploadFinishWithResult(success, error) : true;
}
