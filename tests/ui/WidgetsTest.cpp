#include "platform/core/Localization.h"
#include "platform/ui/Animations.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/Images.h"

#include <QTest>

#include <gtest/gtest.h>

TEST(Images, EveryNamedImageOfTheAlbumsIsDrawn)
{
    const QStringList used = {
        "PavAlbumIconFrame_iPad.png", "PavAlbumIconFrame_selected_iPad.png", "PavAlbum_Background_iPad.png",
        "PavAlbum_SelectedPoint_iPad.png", "PavAlbum_SettingButton_iPad.png", "PavAlbum_SettingButton_selected_iPad.png",
        "PavPadAlbumIcon_iPad.png", "PavPadAlbumIcon_selected_iPad.png", "PavSecretAlbumIcon_iPad.png",
        "PavSecretAlbumIcon_selected_iPad.png", "PavCloudAlbumIcon_iPad.png", "PavCloudAlbumIcon_selected_iPad.png",
        "PavAlbum_Processing_bg_iPad.png", "PavAlbum_ProcessingProgress_Total_iPad.png",
        "PavAlbum_ProcessingProgress_Current_iPad.png", "PavAlbum_ProcessingCancelButton_iPad.png",
        "PavAlbum_ProcessingCancelButton_highlighted_iPad.png", "PavSecretAlbum_PasswordBox_iPad.png",
        "PavSecrectAlbumPasswordProtectTipBackground_iPad.png", "PavAssetsView_selected.png",
        "PavAssetsView_unselected.png", "PavAlbum_PhotoFrame_iPad.png", "PavAlbum_PhotoFrame_selected_iPad.png",
        "PavAlbum_VideoFrame_iPad.png", "PavAlbum_CheckBox_selected_iPad.png", "PavAlbum_CheckBox_unselected_iPad.png",
        "PavAlbum_AddButton_iPad.png", "PavAlbum_DeleteButton_iPad.png", "PavAlbum_DownloadButton_iPad.png",
        "PavAlbum_UploadButton_iPad.png", "PavAlbum_EditButton_iPad.png", "PavAlbum_BackButton_iPad.png",
        "PavAlbum_LockButton_iPad.png", "PavAlbum_UnlockButton_iPad.png", "PavAlbum_GreenButton_iPad.png",
        "PavAlbum_GreenButton_selected_iPad.png", "PavAlbum_GreenLongButton_iPad.png",
        "PavAlbum_GreenLongButton_selected_iPad.png", "PavAlbum_RedButton_iPad.png", "PavAlbum_RedButton_selected_iPad.png",
        "PavAlbum_GrayButton_iPad.png", "PavAlbum_GrayButton_selected_iPad.png", "PavAlbum_BlackButton_iPad.png",
        "PavAlbum_BlackButton_selected_iPad.png", "Disk_Toolbar_Button_Selected_iPad.png", "PavAlbum_NoPhoto_iPad.png",
        "PavAlbum_NoVideo_iPad.png", "PavAlbum_NoNetwork_iPad.png", "PavAlbum_LocationOff_iPad.png",
        "PavAlbum_NoPhotoCurve_iPad.png", "PavAlbum_EncryptedTips_iPad.png", "PavAlbum_Ky_iPad.png",
        "PavAlbum_FolderIcon_big_iPad.png", "PavAlbum_LoadingPhoto_iPad.png", "PavAlbum_LoadPhotoFailed_iPad.png",
        "PavAlbum_BrowerLoadingPhoto_iPad.png", "PavAlbum_BrowerLoadPhotoFailed_iPad.png",
        "PavCloudAlbum_ShowView_iPad.png", "PavCloudAlbum_LogoutButton_iPad.png",
        "PavCloudAlbum_LogoutButton_selected_iPad.png", "PavDoubleSlider_ball_iPad.png", "PavDoubleSlider_bg_iPad.png",
        "PavDoubleSlider_mask_iPad.png", "process_bg_iPad.png", "subTitle_iPad_2.png", "syc_btn",
        "MemoryView_CleanButton_bg_highlighted", "PavAlbumSettingCell_iPad"};
    for (const QString& name : used)
        EXPECT_FALSE(ui::Images::named(name).isNull()) << name.toStdString();
}

TEST(Images, SuffixIsOptionalAndUnknownNamesDrawNothing)
{
    EXPECT_EQ(ui::Images::named("PavAlbum_SelectedPoint_iPad").size(), QSize(11, 22));
    EXPECT_EQ(ui::Images::named("PavAlbum_SelectedPoint_iPad.png").cacheKey(),
              ui::Images::named("PavAlbum_SelectedPoint_iPad").cacheKey());
    EXPECT_TRUE(ui::Images::named("NoSuchImage_iPad.png").isNull());

    ui::Images::registerDrawing("TestDot", {4, 4}, [](QPainter&, const QSize&) {});
    EXPECT_EQ(ui::Images::naturalSize("TestDot.png"), QSize(4, 4));
}

TEST(ImageButton, StatesFallBackToNormal)
{
    ui::ImageButton b;
    QPixmap normal(2, 2), selected(3, 3);
    b.setImage(normal, ui::ImageButton::Normal);
    b.setImage(selected, ui::ImageButton::Selected);
    b.setTitle("取消");
    b.setTitleColor(QColor(51, 51, 51));
    b.setTitleColor(QColor(51, 51, 51, 178), ui::ImageButton::Disabled);

    EXPECT_EQ(b.currentImage().size(), QSize(2, 2));
    b.setSelected(true);
    EXPECT_EQ(b.currentImage().size(), QSize(3, 3));
    b.setDown(true);
    EXPECT_EQ(b.currentState(), unsigned(ui::ImageButton::Selected | ui::ImageButton::Highlighted));
    EXPECT_EQ(b.currentImage().size(), QSize(2, 2)) << "selected+highlighted without its own image uses normal";
    b.setDown(false);
    b.setEnabled(false);
    EXPECT_EQ(b.currentTitleColor().alpha(), 178);
    EXPECT_EQ(b.currentTitle(), "取消");
}

TEST(ImageButton, ClickedFiresOnReleaseInsideOnly)
{
    ui::ImageButton b;
    b.resize(50, 50);
    int clicks = 0;
    QObject::connect(&b, &ui::ImageButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(200, 200));
    EXPECT_EQ(clicks, 1);
    b.setEnabled(false);
    QTest::mouseClick(&b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks, 1);
}

TEST(Animations, DisabledAnimationsApplyAtOnce)
{
    ui::Animations::setEnabled(false);
    QWidget w;
    bool done = false;
    ui::Animations::animateGeometry(&w, QRect(217, 325, 11, 22), 300, QEasingCurve::InOutQuad, [&] { done = true; });
    EXPECT_EQ(w.geometry(), QRect(217, 325, 11, 22));
    EXPECT_TRUE(done);
    ui::Animations::setEnabled(true);
}

TEST(Animations, AGeometryAnimationReachesItsTarget)
{
    QWidget w;
    w.setGeometry(0, 0, 10, 10);
    bool done = false;
    ui::Animations::animateGeometry(&w, QRect(0, 95, 11, 22), 300);
    ui::Animations::animateGeometry(&w, QRect(0, 555, 11, 22), 300, QEasingCurve::InOutQuad, [&] { done = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return done; }, 5000));
    EXPECT_EQ(w.geometry(), QRect(0, 555, 11, 22)) << "the later call wins";
}

TEST(Localization, TextsStandForThemselvesUnlessATranslationIsSet)
{
    EXPECT_EQ(L("隐私相册"), QString("隐私相册"));
    Localization::setEntry("隐私相册", "Private");
    EXPECT_EQ(L("隐私相册"), QString("Private"));
    Localization::clear();
    EXPECT_EQ(L("隐私相册"), QString("隐私相册"));
}
