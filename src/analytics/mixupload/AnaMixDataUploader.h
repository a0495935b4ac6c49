#pragma once

#include "analytics/mixupload/AnaPendingUpload.h"
#include "analytics/mixupload/AnaUploader.h"

#include <QList>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>

class Analytics;
class NSRequestPackage;

// Forms batches of the registered record types from the store and sends
// them. Records are deleted only after the server answered with result 0
// (or a host reported success); a failed upload leaves them stored.
class AnaMixDataUploader : public AnaUplaodNotifier, public AnaUploader {
public:
    static constexpr int kByteLimit = 30720;

    explicit AnaMixDataUploader(Analytics* facade = nullptr);
    static AnaMixDataUploader& sharedInstance();

    void registUploadObjectType(int type);
    void removeUploadObjectTypeUsingKey(int type);
    QList<int> getRegistedUploadTypes() const;

    void reachMaxsize() override;
    void checkAndUpload();
    void checkAndDoOnstartUpload();
    void doUpload();
    std::shared_ptr<NSRequestPackage> getUploadPkg(long byteLimit, bool clean);
    bool deleteUploadData(const NSRequestPackage& package);
    QByteArray getUploadData(bool clean, AnaError* error) override;
    bool uploadFinishWithResult(bool success, AnaError* error) override;

    bool isUploading() const { return m_isUploading.load(); }
    void setIsUploading(bool v) { m_isUploading = v; }

private:
    Analytics& facade();

    Analytics* m_facade;
    mutable std::recursive_mutex m_mutex;
    std::set<int> m_types;
    std::atomic<bool> m_isUploading{false};
    AnaPendingUpload m_upload;
};
