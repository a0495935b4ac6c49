#include "albums/device/BackupFileNamer.h"
#include "albums/device/BackupGate.h"
#include "albums/device/DeviceBatchNotice.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using Batch = DeviceBatchNotice::Batch;
using Kind = DeviceBatchNotice::Kind;

BatchOutcome outcome(BatchStopReason reason, unsigned total, unsigned succeeded, unsigned failed)
{
    return BatchOutcome::decide(reason, BatchCounts{total, succeeded + failed, succeeded, failed});
}

TEST(DeviceBatchNoticeTest, EveryStopReasonHasItsOutcome)
{
    for (BatchStopReason r : {BatchStopReason::User, BatchStopReason::Background, BatchStopReason::Relock}) {
        for (Batch b : {Batch::Encrypt, Batch::Upload}) {
            const DeviceBatchNotice n = DeviceBatchNotice::decide(b, outcome(r, 3, 1, 0), 1, false);
            EXPECT_EQ(n.kind, Kind::None);
            EXPECT_TRUE(n.popPickerNow);
            EXPECT_FALSE(n.storeHideAlert);
        }
    }
    // Every item handled although the user stopped during the last one.
    EXPECT_EQ(DeviceBatchNotice::decide(Batch::Encrypt, outcome(BatchStopReason::User, 2, 2, 0), 0, true).kind,
              Kind::Toast);
    const DeviceBatchNotice lost = DeviceBatchNotice::decide(Batch::Upload, outcome(BatchStopReason::NetworkLost, 3, 1, 1), 2, {});
    EXPECT_EQ(lost.kind, Kind::Alert);
    EXPECT_EQ(lost.message, "网络连接错误，请检查网络。");
    EXPECT_FALSE(DeviceBatchNotice::alertClosesPicker(lost.tag));
    EXPECT_TRUE(lost.popPickerNow);
    const DeviceBatchNotice changed =
        DeviceBatchNotice::decide(Batch::Upload, outcome(BatchStopReason::LibraryChanged, 4, 1, 0), 0, {});
    EXPECT_EQ(changed.message, "1张照片备份成功，3张照片备份失败，请稍候重试！");
}

TEST(BackupGateTest, SignInThenRoomThenNetwork)
{
    using Step = BackupGate::Step;
    EXPECT_EQ(BackupGate::decide(false, 0, 10, 0, "备份").step, Step::SignIn);
    EXPECT_EQ(BackupGate::decide(true, 9, 10, 3, "备份").step, Step::SpaceFull);
    EXPECT_EQ(BackupGate::decide(true, 10, 10, 3, "备份").step, Step::Start);
    EXPECT_EQ(BackupGate::decide(true, std::nullopt, 10, 2, "备份").step, Step::Start);
    EXPECT_EQ(BackupGate::decide(true, -5, 0, 3, "备份").step, Step::SpaceFull);
    // 5 GB against 3 GB of room: no 32-bit wrap lets it through.
    const quint64 fiveGb = 5ull << 30;
    EXPECT_EQ(BackupGate::decide(true, qint64(3) << 30, fiveGb, 3, "备份").step, Step::SpaceFull);
    const BackupGate::Decision none = BackupGate::decide(true, 100, 10, 0, "备份");
    EXPECT_EQ(none.step, Step::NoNetwork);
    EXPECT_EQ(none.message, "网络连接错误，请检查网络。");
    const BackupGate::Decision cell = BackupGate::decide(true, std::nullopt, 1536, 1, "备份");
    EXPECT_EQ(cell.step, Step::ConfirmCellular);
    EXPECT_EQ(cell.message, "当前网络为普通网络，备份选中图片约耗1.5KB流量，确定备份？");
    EXPECT_EQ(BackupGate::decide(true, std::nullopt, 1536, 1, "保存").message,
              "当前网络为普通网络，保存选中图片约耗1.5KB流量，确定保存？");
}

TEST(BackupFileNamerTest, NamesAreUniqueWithinABatchAndCarryTheExtension)
{
    BackupFileNamer namer(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 58), Qt::LocalTime));
    EXPECT_EQ(namer.timeText(), "20261231235958");
    EXPECT_EQ(namer.nextName("assets-library://asset/asset.PNG?id=a&ext=PNG"), "20261231235958001.PNG");
    std::set<QString> names;
    for (int i = 0; i < 1200; ++i)
        names.insert(namer.nextName("assets-library://asset/asset.JPG?id=b&ext=JPG"));
    EXPECT_EQ(names.size(), 1200u);
    EXPECT_TRUE(names.count("20261231235958002.JPG"));
    EXPECT_TRUE(names.count("202612312359581000.JPG"));
}

}
