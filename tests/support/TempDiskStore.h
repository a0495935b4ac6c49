#pragma once

#include "disk/DiskLoginModel.h"
#include "disk/DiskManager.h"
#include "disk/DiskStore.h"
#include "support/FakeClock.h"
#include "support/RecordingDiskResponse.h"

#include <QTemporaryDir>

#include <memory>

// A disk store in a temporary folder with its own login model and facade
// (over a fake clock). Local file copies go to the current application home,
// so a TempHome should be alive as well.
class TempDiskStore {
public:
    TempDiskStore();
    ~TempDiskStore();

    // Signs in (creating the account on first use), reads the account and
    // answers the folder below the account's top ("Ky网盘").
    DiskDirPtr signIn(const QString& uin = "10001", const QString& pw = "secret");
    // Waits until the response's log has n entries.
    bool waitForLog(RecordingDiskResponse& r, int n);
    DiskFilePtr uploadBytes(const QByteArray& bytes, const QString& name, const DiskDirPtr& dir);
    DiskDirPtr makeDir(const QString& name, const DiskDirPtr& father);
    // The files the folder lists (none when no answer came).
    QList<DiskFilePtr> filesIn(const DiskDirPtr& dir);
    // The names in the store's folder of blobs.
    QStringList blobs() const;

    QTemporaryDir storeDir;
    FakeClock clock;
    std::shared_ptr<DiskStore> store;
    std::unique_ptr<DiskLoginModel> login;
    std::unique_ptr<DiskManager> manager;
};
