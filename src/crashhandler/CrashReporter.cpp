#include "crashhandler/CrashReporter.h"

#include "analytics/AnaModel.h"
#include "analytics/AnalyticsPersistObjectRegister.h"
#include "crashhandler/CBugReport.h"
#include "crashhandler/CrashHandler.h"
#include "crashhandler/CrashInstall.h"
#include "crashhandler/CrashUploader.h"
#include "platform/core/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

CrashReporter::CrashReporter(CrashHandler& handler, AnaModel& model, QString directory)
    : m_handler(handler), m_model(model), m_directory(std::move(directory))
{
    m_installer = [] {
        installCrashHandler();
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
    return QDir(m_directory).filePath(kAttachFileName);
}

QMap<QString, QString> CrashReporter::attachLogs() const
{
    QMap<QString, QString> logs;
    QByteArray bytes;
    if (!AtomicFile::read(attachFilePath(), &bytes))
        return logs;
    const QJsonObject object = QJsonDocument::fromJson(bytes).object();
    for (auto it = object.begin(); it != object.end(); ++it)
        if (it.value().isString())
            logs.insert(it.key(), it.value().toString());
    return logs;
}

void CrashReporter::setAttachLog(const QString& text)
{
    const CrashHandler::CurrentCrash crash = m_handler.currentCrash();
    if (text.isNull() || crash.address.isEmpty() || crash.time == 0)
        return;
    // An existing file that is empty or unreadable no longer swallows the
    // new text: it starts a new map.
    QMap<QString, QString> logs = attachLogs();
    QFile::remove(attachFilePath());
    logs.insert(QString::number(crash.time), text);
    QJsonObject object;
    for (auto it = logs.cbegin(); it != logs.cend(); ++it)
        object.insert(it.key(), it.value());
    AtomicFile::write(attachFilePath(), QJsonDocument(object).toJson(QJsonDocument::Compact));
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
