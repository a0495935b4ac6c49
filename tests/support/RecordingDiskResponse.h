#pragma once

#include "disk/DiskManagerDelegate.h"
#include "disk/ZEBConnectionAuthDelegate.h"

#include <QStringList>

// A response object that writes down what it hears.
class RecordingDiskResponse : public DiskManagerDelegate, public ZEBConnectionAuthDelegate {
public:
    void fileUploading(float p, const DiskFilePtr&) override { uploadProgress.append(p); }
    void fileUploadSuccess(const DiskFilePtr&) override { log.append("upload ok"); }
    void fileUploadFailWithError(const DiskFilePtr&, const DiskError& e) override { log.append("upload fail"), lastError = e; }
    void fileUploadRunning(int) override { log.append("upload running"); }
    void fileDownloading(float p, const DiskFilePtr&) override { downloadProgress.append(p); }
    void fileDownloadSuccess(const DiskFilePtr&) override { log.append("download ok"); }
    void fileDonwloadFail(const DiskFilePtr&, const DiskError& e) override { log.append("download fail"), lastError = e; }
    void fileDidDeleteSuccess(const DiskFilePtr&) override { log.append("delete ok"); }
    void fileDidDeleteFail(const DiskFilePtr&, const DiskError& e) override { log.append("delete fail"), lastError = e; }
    void thumbnailDownloadSuccess(const DiskFilePtr&) override { log.append("thumb ok"); }
    void thumbnailDonwloadFail(const DiskFilePtr&, const DiskError& e) override { log.append("thumb fail"), lastError = e; }
    void fileDidQueryDirListSuccess(const DiskDirPtr&, const QList<DiskFilePtr>& f, const QList<DiskDirPtr>& d) override
    {
        log.append("list"), files = f, dirs = d;
    }
    void fileDidQueryDirListRootDir(const DiskDirPtr&, const QList<DiskFilePtr>& f, const QList<DiskDirPtr>& d) override
    {
        log.append("list root"), files = f, dirs = d;
    }
    void fileDidQueryDirListFail(const DiskDirPtr&, const QString& m) override { log.append("list fail"), message = m; }
    void fileDidQueryUserUserInfo(const DiskUserPtr& u) override { log.append("user"), user = u; }
    void fileDidQueryUserUserInfoFail(const DiskUserPtr&, const DiskError& e) override { log.append("user fail"), lastError = e; }
    void fileMakeDirSuccess(const DiskDirPtr& d) override { log.append("mkdir ok"), madeDir = d; }
    void fileMakeDirFailWithErrorCode(const DiskError& e) override { log.append("mkdir fail"), lastError = e; }
    void fileRequireLogin() override { log.append("require login"); }
    bool canShowErrorAlert() override { return allowAlerts; }

    int loginResult(bool result, int tag) override
    {
        log.append(QStringLiteral("login %1 %2").arg(result ? "YES" : "NO").arg(tag));
        return 0;
    }
    void loginNeedVerfy(const QString& url, bool fault) override
    {
        log.append(QStringLiteral("verify %1").arg(fault ? "fault" : "first")), imageUrl = url;
    }

    QStringList log;
    QList<float> uploadProgress;
    QList<float> downloadProgress;
    QList<DiskFilePtr> files;
    QList<DiskDirPtr> dirs;
    DiskUserPtr user;
    DiskDirPtr madeDir;
    DiskError lastError;
    QString message;
    QString imageUrl;
    bool allowAlerts = false;
};
