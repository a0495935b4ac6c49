#include "albums/cloud/CloudAlbumListing.h"
#include "albums/cloud/CloudBatchNotice.h"

#include <gtest/gtest.h>

namespace {

DiskFilePtr file(const QString& name, qint64 size = 10, qint64 cur = 10)
{
    auto f = std::make_shared<DiskFile>();
    f->setFile_name(name);
    f->setFile_id(name);
    f->setFile_size(size);
    f->setFile_cur_size(cur);
    return f;
}

BatchOutcome outcome(BatchStopReason reason, unsigned total, unsigned ok, unsigned failed)
{
    return BatchOutcome::decide(reason, BatchCounts{total, ok + failed, ok, failed});
}

}

TEST(CloudAlbumListing, PagesOfThirtyFiveWithAMoreRowAndIncompleteUploadsLeftOut)
{
    QList<DiskFilePtr> files;
    for (int i = 0; i < 36; ++i)
        files << file(QStringLiteral("p%1.jpg").arg(i));
    files << file("half.jpg", 10, 4) << file("movie.mov");
    CloudAlbumListing listing;
    listing.setListing(files, {});
    EXPECT_EQ(listing.count(), 36);
    EXPECT_EQ(listing.shownCount(), 35);
    EXPECT_EQ(listing.showFilesList().size(), 35);
    EXPECT_EQ(listing.showFilesList().last().file->file_name(), "p34.jpg");
    EXPECT_EQ(listing.rowCount(), 8);   // seven photo rows and the more row
    EXPECT_TRUE(listing.isMoreRow(7));
    EXPECT_EQ(listing.cover()->file_name(), "p0.jpg");
    ASSERT_TRUE(listing.showNextPage());
    EXPECT_EQ(listing.rowCount(), 8);   // eight photo rows, no more row
    EXPECT_FALSE(listing.isMoreRow(7));
    EXPECT_EQ(listing.rowRange(7), std::make_pair(35, 36));
    EXPECT_FALSE(listing.showNextPage());

    // Only folders: nothing to edit, but not empty.
    listing.setListing({file("doc.txt")}, {std::make_shared<DiskDir>("a", "k1")});
    EXPECT_FALSE(listing.isEmpty());
    EXPECT_FALSE(listing.hasPhotos());
    EXPECT_EQ(listing.cover(), nullptr);
}

TEST(CloudBatchNotice, SummariesFollowTheOutcome)
{
    using N = CloudBatchNotice;
    const N mixed = N::decide(N::Batch::Delete, outcome(BatchStopReason::None, 3, 2, 1));
    EXPECT_EQ(mixed.kind, N::Kind::Alert);
    EXPECT_EQ(mixed.message, QString::fromUtf8("2张照片删除成功，1张照片删除失败，请稍候重试！"));
    EXPECT_EQ(N::decide(N::Batch::Save, outcome(BatchStopReason::None, 2, 0, 2)).message,
              QString::fromUtf8("保存失败，请稍候重试！"));
    const N saved = N::decide(N::Batch::Save, outcome(BatchStopReason::None, 2, 2, 0));
    EXPECT_EQ(saved.kind, N::Kind::Toast);
    EXPECT_EQ(saved.usageEvent, 27145);
    EXPECT_EQ(N::decide(N::Batch::Delete, outcome(BatchStopReason::None, 1, 1, 0)).usageEvent, 0);
    // Broken off by the user before the end: nothing; the network: only its alert.
    EXPECT_EQ(N::decide(N::Batch::Save, outcome(BatchStopReason::User, 3, 1, 0)).kind, N::Kind::None);
    EXPECT_EQ(N::decide(N::Batch::Save, outcome(BatchStopReason::NetworkLost, 3, 1, 1)).message,
              N::networkErrorText());
}
