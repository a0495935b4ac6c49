#pragma once

#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/mixupload/AnaPendingUpload.h"
#include "analytics/mixupload/AnaUploader.h"

#include <QStringList>

#include <cstdint>
#include <memory>
#include <mutex>

class AnaNetWorkHandlerQueue;
class Analytics;
class AnalyticsOperationCenter;
class CrashHandler;
class CrashReporter;
class CrashUploadResultDelegete;
class NSRequestPackage;

// The crash reporter's upload (its upload calls forward here). Sends the
// stored crash records at launch: chooses them, packs them under
// the size budget with their attach texts, and queues one upload. Records
// are marked sent (or deleted) only after the server answered with result
// 0; a failed, refused or timed-out upload leaves them, and their attach
// texts, for the next launch.
class CrashUploader : public AnaUploader {
public:
    using Records = AnaSqlitePersistHandler::Records;

    static constexpr int32_t kBudget = 30720;
    static constexpr int kMixKey = 3;
    static constexpr int kCommand = 4;
    static constexpr int kPriority = 1;
    static constexpr const char* kHandlerKey = "AnaCrashUploadHandlerKey";
    static constexpr const char* kAttachName = "crash_attach.log";

    struct Collaborators {
        AnalyticsOperationCenter* operations = nullptr;
        AnaNetWorkHandlerQueue* handlers = nullptr;
        Analytics* facade = nullptr;
    };

    CrashUploader(CrashReporter& reporter, CrashHandler& handler);
    CrashUploader(CrashReporter& reporter, CrashHandler& handler, Collaborators collaborators);
    // Creates the process-wide uploader for the reporter, registers the
    // handler class and becomes the reporter's upload.
    static CrashUploader& installFor(CrashReporter& reporter);

    void registerHandler();
    // Sets the delegate and queues doUpload on the SDK's operation queue.
    bool uploadCrashes(std::weak_ptr<CrashUploadResultDelegete> delegate);
    void doUpload();

    // Puts each chosen record's filed attach text on it (in memory) when the
    // record already has an attachment.
    void addCustomAttachLog(const Records& records);
    std::shared_ptr<NSRequestPackage> getUploadPkg(int32_t budget, bool clean);
    QByteArray getUploadData(bool clean, AnaError* error) override;
    bool uploadFinishWithResult(bool success, AnaError* error) override;

    // The server took the package (result 0): its records count as sent.
    void uploadSucceeded(const NSRequestPackage& package);
    std::shared_ptr<CrashUploadResultDelegete> delegate() const;
    void setDelegate(std::weak_ptr<CrashUploadResultDelegete> delegate);

    static Records recordsOf(const NSRequestPackage& package);

private:
    // Removes the attach texts of records that went out.
    void consumeAttachLogs(const Records& records);
    // Removes the attach texts that belong to no stored record.
    void pruneAttachLogs();
    AnalyticsOperationCenter& operations();
    AnaNetWorkHandlerQueue& handlers();
    Analytics& facade();

    CrashReporter& m_reporter;
    CrashHandler& m_handler;
    Collaborators m_collaborators;
    mutable std::recursive_mutex m_mutex;
    std::weak_ptr<CrashUploadResultDelegete> m_delegate;
    AnaPendingUpload m_upload;
};
