#pragma once

#include "crashhandler/CrashAttachFile.h"

#include <QMap>
#include <QString>
#include <QStringList>

#include "analytics/AnaSqlitePersistHandler.h"

#include <atomic>
#include <functional>
#include <memory>

class AnaModel;
class CrashHandler;
class CrashUploadResultDelegete;
class CrashUploader;
class NSRequestPackage;
struct AnaError;

// The crash reporter's public face: installs the report writer, keeps the
// user number and device id in the SDK model, files the application's
// attach text under the crash being stored (".rir_crash_attach.data" in
// the crash folder: crash time in ms as decimal text → text, a JSON
// object written atomically).
class CrashReporter {
public:
    static constexpr const char* kAttachFileName = CrashAttachFile::kFileName;

    using Action = std::function<void()>;
    using Uploader = std::function<void(std::weak_ptr<CrashUploadResultDelegete>)>;
    using Records = AnaSqlitePersistHandler::Records;

    CrashReporter(CrashHandler& handler, AnaModel& model, QString directory);
    // The process-wide reporter; registers the crash record type.
    static CrashReporter& sharedInstance();

    // Sets the user number ("" for none); the first call also installs the
    // writer and, when asked, queues one upload.
    void install(const QString& userNumber, bool uploadAtomatic);
    bool isInstalled() const { return m_installed.load(); }
    void setGUID(const QString& guid);
    void setAttachLog(const QString& text);
    bool checkCrash();
    QStringList getCrashStackShortNames() const;
    bool cleanCrashRecord();
    // Sets the delegate and queues one upload.
    void uploadCrashes(std::weak_ptr<CrashUploadResultDelegete> delegate);

    // The upload (CrashUploader::installFor sets it); the calls below go to
    // it and do nothing while there is none.
    void setUpload(CrashUploader* upload);
    // Told how uploads end; held weakly.
    std::shared_ptr<CrashUploadResultDelegete> delegate() const;
    void setDelegate(std::weak_ptr<CrashUploadResultDelegete> delegate);
    void addCustomAttachLog(const Records& records);
    std::shared_ptr<NSRequestPackage> getUploadPkg(int32_t budget, bool clean);
    void doUpload();
    QByteArray getUploadData(bool clean, AnaError* error);
    bool uploadFinishWithResult(bool success, AnaError* error);

    // The filed attach texts (crash time → text); empty when none or unreadable.
    QMap<QString, QString> attachLogs() const;
    QString attachFilePath() const;
    CrashAttachFile attachFile() const { return CrashAttachFile(m_directory); }

    // Seams: what installing does (default: the report writer with the
    // record step) and what an upload does (the upload sets it).
    void setInstaller(Action installer) { m_installer = std::move(installer); }
    void setUploader(Uploader uploader) { m_uploader = std::move(uploader); }

private:
    CrashHandler& m_handler;
    AnaModel& m_model;
    QString m_directory;
    std::atomic<bool> m_installed{false};
    Action m_installer;
    Uploader m_uploader;
    CrashUploader* m_upload = nullptr;
};
