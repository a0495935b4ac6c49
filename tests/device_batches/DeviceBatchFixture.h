#pragma once

#include "albums/device/CloudBackupUploader.h"
#include "albums/device/DeviceAlbumBatches.h"
#include "albums/store/PavPhotoManager.h"
#include "disk/PavCloudAlbumManager.h"
#include "platform/core/NotificationCenter.h"
#include "platform/sys/IdleInhibitBackend.h"
#include "platform/sys/IdleTimer.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/NavigationStack.h"
#include "support/FakeClock.h"
#include "support/FakePhotoAsset.h"
#include "support/FakePhotoLibrary.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

// An uploader that records what it is asked and answers as told.
class FakeUploader : public CloudBackupUploader {
public:
    enum class Mode { Succeed, Fail, Silent };
    struct Call {
        QString source;
        QString fileName;
        std::shared_ptr<DiskDir> dir;
    };

    void upload(const QString& source, const QString& fileName, const std::shared_ptr<DiskDir>& dir,
                Callbacks callbacks) override;
    void uploadData(const QByteArray&, const QString& fileName, const std::shared_ptr<DiskDir>& dir,
                    Callbacks callbacks) override
    {
        upload(QString(), fileName, dir, std::move(callbacks));
    }
    void cancelCurrent() override
    {
        ++cancels;
        log << "cancel";
    }

    Mode mode = Mode::Succeed;
    QStringList log;     // "upload <file name>" and "cancel", in order
    std::vector<Call> calls;
    Callbacks pending;   // the last upload's callbacks
    int cancels = 0;
};

// A photo whose read waits until the test opens its gate.
class GatedAsset : public FakePhotoAsset {
public:
    using FakePhotoAsset::FakePhotoAsset;
    bool readAll(QByteArray* out, QString* error = nullptr) const override;
    void open();
    bool entered() const { return m_entered; }

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    bool m_open = false;
    mutable std::atomic<bool> m_entered{false};
};

// The batches of a device album screen (a plain screen at the root of a
// stack, or a picker pushed above one) over a store in a fresh home.
class DeviceBatchFixture : public ::testing::Test {
protected:
    DeviceBatchFixture();
    ~DeviceBatchFixture() override;

    // Makes the batches for a screen of the given use; a picker is pushed
    // above a root screen.
    void makeBatches(int useType = 0);
    // A selection of n JPEG photos with distinct URLs.
    void selectPhotos(int n, int seedBase = 0);
    std::shared_ptr<GatedAsset> selectGated(int seed);
    static ALAssetPtr wrap(const PhotoAssetPtr& asset);

    // Waits until `count` batches have finished in all.
    bool waitFinished(int count = 1);
    int storedCount();
    QString shownAlertMessage(int tag) const;

    TempHome home;
    FakeClock clock{QDateTime(QDate(2026, 3, 5), QTime(9, 8, 7), Qt::LocalTime).toUTC()};
    std::shared_ptr<FakePhotoLibrary> library = std::make_shared<FakePhotoLibrary>();
    std::unique_ptr<PavPhotoManager> store;
    PavCloudAlbumManager cloud;
    NotificationCenter center;
    IdleTimer idle;
    std::shared_ptr<FakeUploader> uploader = std::make_shared<FakeUploader>();
    std::shared_ptr<CloudBackupUploader> uploaderInUse;   // when set, instead of the fake
    std::vector<int> events;
    int network = 3;
    bool passwordExists = true;
    std::optional<qint64> freeSpace;
    QList<ALAssetPtr> selection;
    int leaveEditCalls = 0;
    int lockScreensMade = 0;
    PavSecretAlbumPasswordControllerDelegate* lockDelegate = nullptr;
    std::function<void()> loginSuccess;
    std::unique_ptr<ui::Canvas> canvas;
    ui::NavigationStack* stack = nullptr;
    ui::Screen* screen = nullptr;
    std::unique_ptr<DeviceAlbumBatches> batches;
    int finishedCount = 0;
    // The batch's stop reason each time a store cancel flag was raised.
    std::vector<BatchStopReason> stopWhenFlagRaised;
};
