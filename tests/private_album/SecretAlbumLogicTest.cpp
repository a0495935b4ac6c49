#include "albums/private/SecretAlbumGate.h"
#include "albums/private/SecretAlbumGrid.h"
#include "albums/private/SecretBatchSummary.h"

#include <gtest/gtest.h>

namespace {

PavPhotoModelPtr photo(const QString& id, const QDateTime& when)
{
    auto p = std::make_shared<PavPhotoModel>();
    p->setPhotoUUID(id);
    p->setPhotoPath(id);
    p->setPhotoCreateTime(when);
    return p;
}

QDateTime at(int month, int day, int hour, int year = 2024)
{
    return QDateTime(QDate(year, month, day), QTime(hour, 0), Qt::UTC);
}

// Newest first, as the store lists: n items on each of the given days.
PavPhotoModelList listOf(const std::vector<std::pair<int, int>>& dayCounts)
{
    PavPhotoModelList list;
    int id = 0;
    for (auto [day, count] : dayCounts) {
        for (int i = 0; i < count; ++i)
            list.append(photo(QString("p%1").arg(id++), at(6, day, 23 - i)));
    }
    return list;
}

QStringList ids(const PavPhotoModelList& list)
{
    QStringList out;
    for (const auto& p : list)
        out << p->photoUUID();
    return out;
}

}

TEST(SecretAlbumGrid, GroupsByStoredDayKeepingTheStoresOrder)
{
    // Hours apart on one day fall together; the order of the list is kept,
    // even for equal times.
    PavPhotoModelList list = {photo("a", at(6, 15, 22)), photo("b", at(6, 15, 1)), photo("c", at(6, 15, 1)),
                              photo("d", at(6, 14, 9)), photo("e", at(3, 5, 9))};
    list[1]->setIsChecked(true);
    SecretAlbumGrid grid(QTimeZone::utc());
    grid.setList(list);
    ASSERT_EQ(grid.sectionCount(), 3);
    EXPECT_EQ(ids(grid.section(0)), QStringList({"a", "b", "c"}));
    EXPECT_EQ(grid.dayOfSection(1), QDate(2024, 6, 14));
    EXPECT_EQ(grid.dayOfSection(2), QDate(2024, 3, 5));
    EXPECT_FALSE(list[1]->isChecked());  // a new list starts unchosen
    EXPECT_EQ(grid.sectionOfDay(QDate(2024, 1, 1)), -1);

    // The day is the zone's: 23:00 UTC is the next day eight hours east.
    SecretAlbumGrid east(QTimeZone(8 * 3600));
    east.setList({photo("x", at(6, 14, 23)), photo("y", at(6, 14, 10))});
    EXPECT_EQ(east.sectionCount(), 2);
    EXPECT_EQ(east.dayOfSection(0), QDate(2024, 6, 15));
}

TEST(SecretAlbumGrid, SelectionFollowsMarksInChosenOrder)
{
    SecretAlbumGrid grid(QTimeZone::utc());
    grid.setList(listOf({{15, 3}, {14, 2}}));
    EXPECT_EQ(SecretAlbumGrid::selectionText(0), QString::fromUtf8("请选择照片"));

    // By hand: the order of choosing is kept; the day is all chosen only
    // with its last item.
    const PavPhotoModelPtr third = grid.section(0)[2];
    const PavPhotoModelPtr first = grid.section(0)[0];
    third->setIsChecked(true);
    grid.photoToggled(third);
    first->setIsChecked(true);
    grid.photoToggled(first);
    EXPECT_EQ(ids(grid.selectedPhotoModels()), QStringList({"p2", "p0"}));
    EXPECT_FALSE(grid.isAllChecked(QDate(2024, 6, 15)));
    grid.section(0)[1]->setIsChecked(true);
    grid.photoToggled(grid.section(0)[1]);
    EXPECT_TRUE(grid.isAllChecked(QDate(2024, 6, 15)));
    first->setIsChecked(false);
    grid.photoToggled(first);
    EXPECT_FALSE(grid.isAllChecked(QDate(2024, 6, 15)));
    EXPECT_EQ(SecretAlbumGrid::selectionText(grid.selectedCount()), QString::fromUtf8("已选择2张照片"));

    // Check-all twice chooses and unchooses the whole day.
    EXPECT_EQ(grid.checkAll(1, true), 2);
    EXPECT_EQ(grid.selectedCount(), 4);
    EXPECT_TRUE(grid.isAllChecked(QDate(2024, 6, 14)));
    EXPECT_EQ(grid.checkAll(1, false), 2);
    EXPECT_EQ(grid.selectedCount(), 2);
    EXPECT_EQ(grid.checkAll(7, true), 0);  // no such day

    // An item of another list cannot be chosen.
    auto stranger = photo("zz", at(6, 15, 1));
    stranger->setIsChecked(true);
    grid.photoToggled(stranger);
    EXPECT_EQ(grid.selectedCount(), 2);

    grid.clearSelection();
    EXPECT_EQ(grid.selectedCount(), 0);
    EXPECT_FALSE(third->isChecked());
    grid.clear();
    EXPECT_TRUE(grid.isEmpty());
    EXPECT_EQ(grid.sectionCount(), 0);
}

TEST(SecretAlbumGate, AppearanceMatrix)
{
    using A = SecretAlbumGate::Action;
    SecretAlbumGate::Shown s;
    s.isUpdated = true;
    s.hasItems = true;
    EXPECT_EQ(SecretAlbumGate::onAppear(s), A::Verify);  // locked: never loads
    s.hasVerified = true;
    EXPECT_EQ(SecretAlbumGate::onAppear(s), A::Load);
    s.editing = true;
    EXPECT_EQ(SecretAlbumGate::onAppear(s), A::Nothing);  // edit mode never reloads
    s.editing = false;
    s.isUpdated = false;
    EXPECT_EQ(SecretAlbumGate::onAppear(s), A::Nothing);
    s.hasItems = false;
    EXPECT_EQ(SecretAlbumGate::onAppear(s), A::Load);  // nothing on screen yet
    s.emptyShown = true;
    EXPECT_EQ(SecretAlbumGate::onAppear(s), A::Nothing);
}

TEST(SecretAlbumGate, ReloadAnswersAreDroppedAfterARelockOrANewerReload)
{
    SecretAlbumGate gate;
    unsigned ticket = 99;
    EXPECT_FALSE(gate.beginLoad(false, ticket));
    EXPECT_EQ(ticket, 99u);

    ASSERT_TRUE(gate.beginLoad(true, ticket));
    EXPECT_TRUE(gate.accepts(ticket, true));
    EXPECT_FALSE(gate.accepts(ticket, false));
    unsigned newer = 0;
    ASSERT_TRUE(gate.beginLoad(true, newer));
    EXPECT_FALSE(gate.accepts(ticket, true));
    EXPECT_TRUE(gate.accepts(newer, true));
    gate.relock();
    EXPECT_FALSE(gate.accepts(newer, true));
}

TEST(SecretBatchSummary, ToastOrAlertFollowsTheCountsAndTheHideKey)
{
    using K = SecretBatchSummary::Kind;
    struct Case {
        K kind;
        unsigned ok, bad;
        bool hide, toast;
        const char* text;
    };
    const Case cases[] = {
        {K::MoveOut, 3, 0, false, false, "照片已成功移到手机相册。"},
        {K::MoveOut, 3, 0, true, true, "3张照片移出成功！"},
        {K::MoveOut, 2, 1, true, false, "2张照片移出成功，1张照片移出失败，请稍候重试！"},
        {K::MoveOut, 0, 2, false, false, "移出失败，请稍候重试！"},
        {K::Delete, 4, 0, false, true, "4张照片删除成功！"},
        {K::Delete, 1, 2, false, false, "1张照片删除成功，2张照片删除失败，请稍候重试！"},
        {K::Delete, 0, 1, false, false, "删除失败，请稍候重试！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const SecretBatchSummary s = SecretBatchSummary::of(c.kind, {c.ok + c.bad, c.ok + c.bad, c.ok, c.bad}, c.hide);
        EXPECT_EQ(s.toast, c.toast);
        EXPECT_EQ(s.text, QString::fromUtf8(c.text));
    }
    // Only the full move-out alert offers "不再提示".
    EXPECT_EQ(SecretBatchSummary::of(K::MoveOut, {3, 3, 3, 0}, false).otherTitles,
              QStringList({QString::fromUtf8("不再提示")}));
}
