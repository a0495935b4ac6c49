#include "albums/cloud/CloudAlbumBar.h"
#include "albums/device/AssetSelection.h"
#include "albums/device/DaySections.h"
#include "albums/device/DayTitle.h"
#include "albums/device/EditBar.h"
#include "albums/device/GridRows.h"
#include "albums/device/LoadGate.h"
#include "albums/device/ReloadPolicy.h"
#include "albums/private/SecretAlbumGrid.h"
#include "albums/widgets/PavAlbumTableHeaderView_iPad.h"
#include "platform/core/Localization.h"
#include "platform/ui/ShadowLabel.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace {

const QTimeZone kBerlin("Europe/Berlin");

QDateTime berlin(int y, int m, int d, int h = 12, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min), kBerlin).toUTC();
}

}

TEST(DaySections, NewestFirstOneSectionPerLocalDayPhotosOnlyList)
{
    std::vector<DaySections::Item> items{
        {berlin(2024, 3, 5, 9), true},     // 0
        {berlin(2024, 3, 6, 0, 30), true}, // 1: just after midnight local (23:30 UTC the day before)
        {berlin(2024, 3, 5, 18), false},   // 2: a video
        {berlin(2024, 3, 5, 9), true},     // 3: same moment as 0
        {berlin(2024, 3, 4, 23, 59), true} // 4
    };
    const DaySections s = DaySections::build(items, kBerlin);
    ASSERT_EQ(s.sections().size(), 3u);
    EXPECT_EQ(s.sections()[0].day, QDate(2024, 3, 6));
    EXPECT_EQ(s.sections()[0].items, std::vector<int>{1});
    EXPECT_EQ(s.sections()[1].day, QDate(2024, 3, 5));
    // Newest first; equal dates put the later library index first.
    EXPECT_EQ(s.sections()[1].items, (std::vector<int>{2, 3, 0}));
    EXPECT_EQ(s.sections()[1].photoCount, 2);
    EXPECT_EQ(s.photos(), (std::vector<int>{1, 3, 0, 4}));
    EXPECT_EQ(s.sectionOfDay(QDate(2024, 3, 4)), 2);
    EXPECT_EQ(s.sectionOfDay(QDate(2024, 1, 1)), -1);
    EXPECT_TRUE(DaySections::build({}, kBerlin).isEmpty());
}

TEST(DayTitle, TodayYesterdayThisYearOtherYear)
{
    FakeClock clock(berlin(2024, 6, 15, 10));
    DayTitle titles(clock, kBerlin);
    EXPECT_EQ(titles.title(QDate(2024, 6, 15)), "今天");
    EXPECT_EQ(titles.title(QDate(2024, 6, 14)), "昨天");
    EXPECT_EQ(titles.title(QDate(2024, 3, 5)), "3月5日");
    EXPECT_EQ(titles.title(QDate(2023, 12, 30)), "2023年12月30日");
    EXPECT_EQ(titles.dayOf(berlin(2024, 6, 15, 0, 10)), QDate(2024, 6, 15));
}

TEST(DayTitle, YearEndAndDaylightSavingDays)
{
    FakeClock newYear(berlin(2025, 1, 1, 8));
    EXPECT_EQ(DayTitle(newYear, kBerlin).title(QDate(2024, 12, 31)), "昨天");
    EXPECT_EQ(DayTitle(newYear, kBerlin).title(QDate(2024, 12, 30)), "2024年12月30日");
    // 30 March 2025 lost an hour in Berlin; on the 31st the 30th is yesterday,
    // and a photo taken late on the 30th still belongs to it.
    FakeClock afterChange(berlin(2025, 3, 31, 0, 30));
    DayTitle titles(afterChange, kBerlin);
    EXPECT_EQ(titles.today(), QDate(2025, 3, 31));
    EXPECT_EQ(titles.title(titles.dayOf(berlin(2025, 3, 30, 23, 30))), "昨天");
    EXPECT_EQ(titles.title(titles.dayOf(berlin(2025, 3, 30, 0, 10))), "昨天");
    EXPECT_EQ(titles.title(QDate(2025, 3, 29)), "3月29日");
}

TEST(GridRows, HeightsAndRanges)
{
    using namespace GridRows;
    auto heights = [](int items, int perRow) {
        std::vector<int> h;
        const int rows = rowCount(items, perRow);
        for (int r = 0; r < rows; ++r)
            h.push_back(rowHeight(r, rows));
        return h;
    };
    EXPECT_EQ(heights(5, kPhotosPerRow), std::vector<int>{134});
    EXPECT_EQ(heights(1, kPhotosPerRow), std::vector<int>{134});
    EXPECT_EQ(heights(7, kPhotosPerRow), (std::vector<int>{126, 126}));
    EXPECT_EQ(heights(11, kPhotosPerRow), (std::vector<int>{126, 118, 126}));
    EXPECT_EQ(rowCount(9, kVideosPerRow), 3);
    EXPECT_EQ(rowCount(0, kPhotosPerRow), 0);
    EXPECT_EQ(rowRange(1, 7, kPhotosPerRow), std::make_pair(5, 7));
    EXPECT_EQ(rowRange(2, 9, kVideosPerRow), std::make_pair(8, 9));
    EXPECT_EQ(rowRange(0, 4, kVideosPerRow), std::make_pair(0, 4));
}

TEST(AssetSelection, TapOrderCheckAllAndAllChosen)
{
    AssetSelection sel;
    const QStringList day{"a", "b", "c"};
    EXPECT_TRUE(sel.set("c", true));
    EXPECT_TRUE(sel.set("a", true));
    EXPECT_FALSE(sel.set("a", true));
    EXPECT_EQ(sel.ids(), (QStringList{"c", "a"}));
    EXPECT_FALSE(sel.allChosen(day));
    EXPECT_TRUE(sel.set("b", true));
    EXPECT_TRUE(sel.allChosen(day));
    EXPECT_TRUE(sel.set("b", false));
    EXPECT_FALSE(sel.allChosen(day));
    // Check-all touches only what differs, never duplicates.
    EXPECT_EQ(sel.setAll(day, true), 1);
    EXPECT_EQ(sel.count(), 3);
    EXPECT_EQ(sel.ids(), (QStringList{"c", "a", "b"}));
    EXPECT_EQ(sel.setAll(day, false), 3);
    EXPECT_TRUE(sel.isEmpty());
    EXPECT_FALSE(sel.allChosen({}));  // a day of videos only is never all chosen
}

TEST(LoadGate, RequestsDuringALoadGiveExactlyOneMore)
{
    LoadGate gate;
    ASSERT_TRUE(gate.request(0));
    const LoadGate::Ticket first = gate.ticket();
    EXPECT_FALSE(gate.request(0));
    EXPECT_FALSE(gate.request(0));
    EXPECT_TRUE(gate.isUpdating());
    EXPECT_TRUE(gate.finish(first));  // one follow-up starts
    const LoadGate::Ticket second = gate.ticket();
    EXPECT_NE(second.generation, first.generation);
    EXPECT_FALSE(gate.finish(first));  // a duplicate answer of the old load is stale
    EXPECT_TRUE(gate.isUpdating());
    EXPECT_FALSE(gate.finish(second));
    EXPECT_FALSE(gate.isUpdating());
    EXPECT_FALSE(gate.needUpdate());
}

TEST(LoadGate, FailureAlsoServesTheWishAndKindFollowsTheLastRequest)
{
    LoadGate gate;
    ASSERT_TRUE(gate.request(0));
    const LoadGate::Ticket photos = gate.ticket();
    EXPECT_FALSE(gate.request(1));  // switched to videos meanwhile
    EXPECT_TRUE(gate.finish(photos));  // the photo load failed or arrived: videos follow
    EXPECT_EQ(gate.ticket().kind, 1);
    gate.reset();
    EXPECT_FALSE(gate.isUpdating());
    EXPECT_FALSE(gate.accepts(gate.ticket()));
    EXPECT_TRUE(gate.request(0));
}

TEST(ReloadPolicy, LibraryChangeAndBecomeActiveMatrix)
{
    using namespace ReloadPolicy;
    const LibraryChange shown = onLibraryChanged(AlbumTab, true);
    EXPECT_TRUE(shown.setCancelFlags && shown.cancelPendingCheck && shown.loadNow);
    EXPECT_FALSE(shown.needUpdate);
    const LibraryChange hidden = onLibraryChanged(AlbumTab, false);
    EXPECT_FALSE(hidden.loadNow || hidden.setCancelFlags);
    EXPECT_TRUE(hidden.needUpdate);
    for (int picker : {PrivatePicker, CloudPicker}) {
        const LibraryChange p = onLibraryChanged(picker, true);
        EXPECT_TRUE(p.setCancelFlags);
        EXPECT_FALSE(p.loadNow || p.needUpdate || p.cancelPendingCheck);
        const BecomeActive a = onBecomeActive({picker, 0, true, true, true, false});
        EXPECT_FALSE(a.checkAvailability || a.delayedLoad || a.loadNow || a.needUpdate);
    }
    //                          use       index grid empty, owed, shown, loading
    const BecomeActive full = onBecomeActive({AlbumTab, 0, false, false, true, false});
    EXPECT_TRUE(full.checkAvailability);
    EXPECT_FALSE(full.delayedLoad || full.needUpdate || full.loadNow);
    const BecomeActive empty = onBecomeActive({AlbumTab, 0, true, false, true, false});
    EXPECT_TRUE(empty.delayedLoad);
    EXPECT_FALSE(empty.checkAvailability || empty.needUpdate || empty.loadNow);
    const BecomeActive away = onBecomeActive({AlbumTab, 2, false, false, false, false});
    EXPECT_TRUE(away.needUpdate);
    EXPECT_FALSE(away.checkAvailability || away.delayedLoad || away.loadNow);

    // A reload owed since the tab was hidden runs when the album shows and
    // stays owed while it does not; it is never dropped.
    const BecomeActive owedShown = onBecomeActive({AlbumTab, 0, false, true, true, false});
    EXPECT_TRUE(owedShown.loadNow);
    const BecomeActive owedHidden = onBecomeActive({AlbumTab, 0, false, true, false, false});
    EXPECT_TRUE(owedHidden.needUpdate);
    EXPECT_FALSE(owedHidden.loadNow);
    // A load on its way: an empty grid asks for no second one.
    const BecomeActive loading = onBecomeActive({AlbumTab, 0, true, false, true, true});
    EXPECT_FALSE(loading.delayedLoad || loading.loadNow || loading.checkAvailability || loading.needUpdate);
}

TEST(EditBar, VisibilityMatrix)
{
    EditBar::State s;
    s.hasPhotos = true;
    EditBar::Look l = EditBar::look(s);
    EXPECT_TRUE(l.lockEditVisible && l.backupEditVisible && l.sliderVisible && l.editButtonsEnabled);
    EXPECT_FALSE(l.cancelVisible || l.countVisible || l.lockVisible || l.backupVisible);

    s.editing = true;
    s.entry = EditBar::Entry::Backup;
    l = EditBar::look(s);
    EXPECT_TRUE(l.cancelVisible && l.countVisible && l.backupVisible);
    EXPECT_FALSE(l.lockVisible || l.lockEditVisible || l.backupEditVisible || l.sliderVisible);
    EXPECT_EQ(l.countText, "请选择照片");
    EXPECT_FALSE(l.actionsEnabled);
    s.selected = 2;
    l = EditBar::look(s);
    EXPECT_EQ(l.countText, "已选择2张照片");
    EXPECT_TRUE(l.actionsEnabled);
    s.entry = EditBar::Entry::Lock;
    EXPECT_TRUE(EditBar::look(s).lockVisible);
    EXPECT_FALSE(EditBar::look(s).backupVisible);

    EditBar::State videos;
    videos.videos = true;
    videos.hasPhotos = true;
    l = EditBar::look(videos);
    EXPECT_FALSE(l.lockEditVisible || l.backupEditVisible || l.editButtonsEnabled);
    EditBar::State refused;
    refused.hasPhotos = true;
    refused.libraryRefused = true;
    EXPECT_FALSE(EditBar::look(refused).editButtonsEnabled);
    EXPECT_EQ(EditBar::pickerEntry(1), EditBar::Entry::Lock);
    EXPECT_EQ(EditBar::pickerEntry(2), EditBar::Entry::Backup);
}

#include "albums/widgets/SwitchLogic.h"

TEST(SwitchLogic, ReleasePointAndPositions)
{
    const SwitchLogic logic(110);
    EXPECT_DOUBLE_EQ(logic.offsetFor(0), 0);
    EXPECT_DOUBLE_EQ(logic.offsetFor(1), 55);
    EXPECT_EQ(logic.release(36.6, 0).target, 0);
    EXPECT_FALSE(logic.release(36.6, 0).change);
    EXPECT_EQ(logic.release(36.7, 0).target, 1);
    EXPECT_TRUE(logic.release(36.7, 0).change);
    // From the right, a release still past the third snaps back without news.
    EXPECT_FALSE(logic.release(40, 1).change);
    EXPECT_TRUE(logic.release(10, 1).change);
    // Wider switches keep a positive right-hand offset.
    EXPECT_GT(SwitchLogic(200).offsetFor(1), 0);
}

// Day titles and the selection and photo counts go through the text lookup
// like every other text of the albums.
TEST(AlbumTexts, DayTitlesAndCountsGoThroughTheLookup)
{
    struct ClearAfter {
        ~ClearAfter() { Localization::clear(); }
    } clearAfter;
    Localization::setEntry("今天", "Today");
    Localization::setEntry("昨天", "Yesterday");
    Localization::setEntry("%1月%2日", "%2/%1");
    Localization::setEntry("%1年%2月%3日", "%3/%2/%1");
    Localization::setEntry("已选择%1张照片", "%1 selected");
    Localization::setEntry("%1张照片", "%1 photos");

    const QDate today(2024, 6, 15);
    EXPECT_EQ(DayTitle::titleFor(today, today), "Today");
    EXPECT_EQ(DayTitle::titleFor(QDate(2024, 6, 14), today), "Yesterday");
    EXPECT_EQ(DayTitle::titleFor(QDate(2024, 3, 2), today), "2/3");
    EXPECT_EQ(DayTitle::titleFor(QDate(2023, 3, 2), today), "2/3/2023");

    EditBar::State s;
    s.editing = true;
    s.selected = 3;
    EXPECT_EQ(EditBar::look(s).countText, "3 selected");
    EXPECT_EQ(SecretAlbumGrid::selectionText(4), "4 selected");
    CloudAlbumBar bar(QRect(0, 0, 615, 50));
    bar.showEditing(true, 5);
    EXPECT_EQ(bar.selectedCountLabel()->text(), "5 selected");
    PavAlbumTableHeaderView_iPad header(QRect(0, 0, 615, 45), true);
    header.setPhotoCount(7);
    EXPECT_EQ(header.photoCountLabel()->text(), "7 photos");
}
