#include "Public/PaviPadNavigationController.h"
#include "albums/container/AlbumScreen.h"
#include "albums/container/PavAlbumContainerController_iPad.h"
#include "albums/container/PavAlbumSelectionViewItem.h"
#include "albums/container/PavAlbumSelectionView_iPad.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/Images.h"
#include "platform/ui/ModalHost.h"
#include "platform/ui/NavigationStack.h"
#include "platform/ui/TabContainer.h"
#include "support/EventLoop.h"
#include "support/ShownImage.h"
#include "support/ShowCanvas.h"

#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class RecordingAlbum : public AlbumScreen {
public:
    void backToNormalMode() override { ++backs; }
    void refreshData() override { ++refreshes; }
    int backs = 0;
    int refreshes = 0;
};

class AlbumContainerTest : public ::testing::Test {
protected:
    AlbumContainerTest()
    {
        ui::Animations::setEnabled(false);
        PavAlbumContainerController_iPad::Collaborators c;
        c.albumScreens = [this](int i) { return albums[i] = new RecordingAlbum; };
        c.settings = [this](PavAlbumContainerController_iPad*) -> ui::Screen* {
            return settingsAvailable ? new ui::Screen : nullptr;
        };
        c.isLogined = [this] { return logined; };
        c.hasVerified = [this] { return verified; };
        c.usage = [this](int id) { usage.push_back(id); };
        c.center = &center;
        container = new PavAlbumContainerController_iPad(c);
        EXPECT_TRUE(showOnCanvas(canvas, container));
        spinEvents(10);
    }
    ~AlbumContainerTest() override { ui::Animations::setEnabled(true); }

    int backs() const { return albums[0]->backs + albums[1]->backs + albums[2]->backs; }
    PavAlbumSelectionView_iPad* strip() const { return container->albumSelectionView(); }
    int chosenItem() const
    {
        int chosen = -1;
        for (int i = 0; i < 3; ++i) {
            if (strip()->item(i)->selected())
                chosen = chosen == -1 ? i : 99;
        }
        return chosen;
    }
    void expectShown(int index)
    {
        EXPECT_EQ(container->selectedIndex(), index);
        EXPECT_EQ(container->contentView()->selectedIndex(), index);
        EXPECT_EQ(chosenItem(), index);
        EXPECT_EQ(strip()->directorTargetFrame(), QRect(217, 95 + 230 * index, 11, 22));
    }
    void tap(int index) { QTest::mouseClick(strip()->item(index)->albumButton(), Qt::LeftButton); }
    // The lightness of each album name's text as the canvas shows it.
    std::vector<int> nameLightness(const QString& fileName) const
    {
        const ShownImage shown(canvas.get(), fileName);
        std::vector<int> out;
        for (int i = 0; i < 3; ++i)
            out.push_back(shown.darkest(shown.areaOf(strip()->item(i)->albumName())));
        return out;
    }
    // Chosen: dark grey text (0.2 white); the others light grey (195 of 255).
    static bool darkOnlyAt(const std::vector<int>& lightness, int chosen)
    {
        for (int i = 0; i < 3; ++i) {
            const bool dark = lightness[i] <= 70;
            const bool light = lightness[i] >= 170;
            if (i == chosen ? !dark : !light)
                return false;
        }
        return true;
    }

    NotificationCenter center;
    bool logined = false;
    bool verified = false;
    bool settingsAvailable = false;
    std::vector<int> usage;
    RecordingAlbum* albums[3] = {};
    std::unique_ptr<ui::Canvas> canvas;
    PavAlbumContainerController_iPad* container;
};

TEST_F(AlbumContainerTest, BuildsThreeAlbumsBehindTheStrip)
{
    const QStringList names = {"Pad相册", "隐私相册", "云端相册"};
    ASSERT_EQ(container->viewControllers().size(), 3);
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(albums[i], nullptr);
        EXPECT_EQ(albums[i]->containerController(), container);
        EXPECT_EQ(container->albumScreen(i), albums[i]);
        auto* stack = qobject_cast<ui::NavigationStack*>(container->viewControllers().at(i));
        ASSERT_NE(stack, nullptr);
        EXPECT_TRUE(stack->isBarHidden());
        EXPECT_EQ(stack->rootScreen(), albums[i]);
        EXPECT_EQ(strip()->item(i)->albumName()->text(), names[i]);
    }
    expectShown(0);
    EXPECT_TRUE(albums[0]->isOnScreen());
    EXPECT_FALSE(albums[2]->isOnScreen());

    const std::vector<int> shown = nameLightness("album_container.png");
    EXPECT_TRUE(darkOnlyAt(shown, 0)) << shown[0] << " " << shown[1] << " " << shown[2];
}

TEST_F(AlbumContainerTest, TappingSwitchesAlbumsAndRecordsTheTap)
{
    tap(2);
    expectShown(2);
    EXPECT_EQ(container->previousSelectedIndex(), 0);
    EXPECT_EQ(albums[0]->backs, 1);
    EXPECT_EQ(backs(), 1);
    EXPECT_TRUE(albums[2]->isOnScreen());
    EXPECT_FALSE(albums[0]->isOnScreen());
    spinEvents(10);
    const std::vector<int> names = nameLightness("album_container_cloud_chosen.png");
    EXPECT_TRUE(darkOnlyAt(names, 2)) << names[0] << " " << names[1] << " " << names[2];

    // The album already shown, tapped again, leaves its selection mode.
    tap(2);
    EXPECT_EQ(container->previousSelectedIndex(), 2);
    EXPECT_EQ(albums[2]->backs, 1);
    tap(1);
    tap(0);
    EXPECT_EQ(usage, (std::vector<int>{27122, 27122, 27100, 27099}));
}

TEST_F(AlbumContainerTest, GoingBackNeverLeavesSelectionModeAndIgnoresBadIndexes)
{
    logined = true;
    container->setSelectedIndex(2);
    container->setSelectedIndex(1);
    container->setSelectedIndex(3);
    container->setSelectedIndex(-1);
    expectShown(1);
    EXPECT_EQ(backs(), 2);
    logined = false;   // the sign-in lapsed while the lock was up
    container->selectPreviousViewController();
    expectShown(0);
    EXPECT_EQ(container->previousSelectedIndex(), 0);
    EXPECT_EQ(backs(), 2);
}

TEST_F(AlbumContainerTest, CloudSignInShowsOrRefreshesTheCloudAlbum)
{
    center.post("KyCloudAlbumLoginNotification");
    expectShown(2);
    EXPECT_EQ(albums[0]->backs, 1);
    EXPECT_EQ(albums[2]->refreshes, 0);

    center.post("KyCloudAlbumLoginNotification");
    expectShown(2);
    EXPECT_EQ(albums[2]->refreshes, 1);
    EXPECT_EQ(backs(), 1);

    // The observer goes with the container.
    canvas.reset();
    center.post("KyCloudAlbumLoginNotification");
}

TEST_F(AlbumContainerTest, ClosingTheSettingsLeavesTheCloudAlbumOnlyWhenSignedOut)
{
    container->setSelectedIndex(1);
    container->albumSettingViewControllerDidClose();   // index 1: nothing
    expectShown(1);

    verified = true;
    container->setSelectedIndex(2);
    logined = true;
    container->albumSettingViewControllerDidClose();
    expectShown(2);

    logined = false;
    container->albumSettingViewControllerDidClose();
    expectShown(1);
}

TEST_F(AlbumContainerTest, SettingsOpenAsAFormSheetWhenTheFactoryMakesThem)
{
    QTest::mouseClick(strip()->settingButton(), Qt::LeftButton);
    EXPECT_EQ(usage, std::vector<int>{27123});
    EXPECT_EQ(container->presentedScreen(), nullptr);   // the factory made no settings screen

    settingsAvailable = true;
    QTest::mouseClick(strip()->settingButton(), Qt::LeftButton);
    auto* sheet = qobject_cast<PaviPadNavigationController*>(container->presentedScreen());
    ASSERT_NE(sheet, nullptr);
    ui::ModalHost* host = ui::ModalHost::presentedBy(container);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->contentFrame(), QRect(243, 199, 538, 495)) << "63 points below a centred sheet";
}

TEST_F(AlbumContainerTest, CustomIconsChangeOnlyTheChosenPicture)
{
    ui::ImageButton* button = strip()->item(1)->albumButton();
    const qint64 normal = button->currentImage().cacheKey();
    button->setSelected(true);
    const qint64 chosen = button->currentImage().cacheKey();
    button->setSelected(false);

    QPixmap custom(40, 40);
    custom.fill(Qt::red);
    container->setAlbumIconWithAlbumType(1, custom);
    EXPECT_EQ(button->currentImage().cacheKey(), normal);
    button->setSelected(true);
    EXPECT_EQ(button->currentImage().cacheKey(), custom.cacheKey());

    container->resetAlbumIconToDefaultWithAlbumType(1);
    EXPECT_EQ(button->currentImage().cacheKey(), chosen);
    button->setSelected(false);
    EXPECT_EQ(button->currentImage().cacheKey(), normal);
}

}
