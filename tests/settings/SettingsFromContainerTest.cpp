#include "Public/PaviPadNavigationController.h"
#include "albums/container/AlbumScreen.h"
#include "albums/container/PavAlbumContainerController_iPad.h"
#include "albums/settings/PavAlbumSettingViewController_iPad.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "support/EventLoop.h"
#include "support/ShowCanvas.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsFromContainerTest, TheSettingsButtonOpensTheSettingsSheetWhichReportsItsClose)
{
    TempHome home;
    ui::Animations::setEnabled(false);
    NotificationCenter center;
    bool logined = false;
    PavAlbumContainerController_iPad::Collaborators c;
    c.albumScreens = [](int) { return new AlbumScreen; };
    c.isLogined = [&] { return logined; };
    c.hasVerified = [] { return false; };
    c.usage = [](int) {};
    c.center = &center;
    std::unique_ptr<ui::Canvas> canvas;
    auto* container = new PavAlbumContainerController_iPad(c);
    ASSERT_TRUE(showOnCanvas(canvas, container));
    spinEvents(10);

    container->setSelectedIndex(2);
    container->albumSelectionViewDidClickSettingButton();
    auto* sheet = qobject_cast<ui::NavigationStack*>(container->presentedScreen());
    ASSERT_TRUE(sheet);
    auto* settings = qobject_cast<PavAlbumSettingViewController_iPad*>(sheet->rootScreen());
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->delegate(), container);

    // Closed while the cloud album is shown and nobody signed in: back to the album before.
    settings->closeButtonClicked();
    spinEvents(10);
    EXPECT_FALSE(container->presentedScreen());
    EXPECT_EQ(container->selectedIndex(), 0);
    canvas.reset();
    ui::Animations::setEnabled(true);
}

}
