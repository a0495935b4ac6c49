#include "Public/KyTextInput.h"
#include "Public/PavProgressView.h"
#include "Public/PaviPadNavigationController.h"
#include "Public/PaviPadTableViewCell.h"
#include "albums/binding/PavSecretAlbumPasswordProtectViewController_iPad.h"
#include "albums/lock/PavSecretAlbumPasswordController_iPad.h"
#include "albums/settings/AlbumSettingAccountView.h"
#include "albums/settings/PavAlbumSettingViewController_iPad.h"
#include "disk/PavCloudAlbumManager.h"
#include "disk/PavDiskUserInfoManager.h"
#include "albums/cloud/PavVerifyPasswordController_iPad.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Animations.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "support/EventLoop.h"
#include "support/FakeNetworkKind.h"
#include "support/Screenshot.h"
#include "support/SharedDiskStore.h"
#include "support/ShownImage.h"
#include "support/ShowCanvas.h"
#include "support/TempHome.h"

#include <QLabel>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

// A screen that remembers how it was made.
class MadeScreen : public ui::Screen {
public:
    MadeScreen(QString kind, int type, bool guide = true) : kind(std::move(kind)), type(type), guide(guide) {}
    QString kind;
    int type;
    bool guide;
};

class Closing : public QObject, public PavAlbumSettingViewControllerDelegate {
public:
    void albumSettingViewControllerDidClose() override { ++closes; }
    int closes = 0;
};

class AlbumSettingScreenTest : public ::testing::Test {
protected:
    AlbumSettingScreenTest()
        : cloud([]() -> UserDefaults& { return UserDefaults::standardUserDefaults(); }),
          saved(home.documents())
    {
        ui::Animations::setEnabled(false);
        user->setUin(10001);
        user->setUsed_space(qint64(512) << 20);
        user->setTotal_space(qint64(2) << 30);
        saved.setUin("10001");
        saved.setPassword("secret");
        loginObserver = center.addObserver("KyCloudAlbumLoginNotification", [this](const QVariantMap&) { posted << "login"; });
        logoutObserver = center.addObserver("KyCloudAlbumLogoutNotification", [this](const QVariantMap&) { posted << "logout"; });
        EXPECT_TRUE(showOnCanvas(canvas, presenter = new ui::Screen));
    }
    ~AlbumSettingScreenTest() override
    {
        canvas.reset();
        ui::Animations::setEnabled(true);
    }

    void open(bool defaultLock = false, bool defaultBinding = false)
    {
        PavAlbumSettingViewController_iPad::Collaborators c;
        c.hasPassword = [this] { return hasPassword; };
        c.binding = [this] { return binding; };
        c.hasVerified = [this] { return verified; };
        c.cloud = &cloud;
        c.currentUser = [this] { return user; };
        c.savedAccount = &saved;
        c.privateAlbumChanged = [this] { ++privateChanges; };
        if (!defaultLock) {
            c.makeLockScreen = [](int type, bool guide, PavSecretAlbumPasswordControllerDelegate*) -> ui::Screen* {
                return new MadeScreen("lock", type, guide);
            };
        }
        if (!defaultBinding) {
            c.makeBindingScreen = [](int type, PavAlbumSettingViewController_iPad*) -> ui::Screen* {
                return new MadeScreen("binding", type);
            };
        }
        c.makeCloudLogin = [](PavCloudAlbumLoginDelegate*) -> ui::Screen* { return new MadeScreen("login", 0); };
        c.usage = [this](int id) { events.push_back(id); };
        c.center = &center;
        settings = new PavAlbumSettingViewController_iPad(c);
        settings->setDelegate(&closing);
        stack = new PaviPadNavigationController(settings);
        presenter->presentSheet(stack, ui::kFormSheetSize, false);
        spinEvents(10);
    }

    MadeScreen* top() const { return dynamic_cast<MadeScreen*>(stack->topScreen()); }
    QString cellText(int section) const
    {
        PaviPadTableViewCell* cell = settings->cellForSection(section);
        return cell ? cell->textLabel()->text() : QString();
    }
    void backToSettings()
    {
        stack->pop(false);
        spinEvents(10);
    }

    TempHome home;
    PavCloudAlbumManager cloud;
    PavDiskUserInfoManager saved;
    NotificationCenter center;
    std::shared_ptr<DiskUser> user = std::make_shared<DiskUser>();
    bool hasPassword = false;
    QString binding;
    bool verified = false;
    int privateChanges = 0;
    std::vector<int> events;
    QStringList posted;
    ObserverToken loginObserver;
    ObserverToken logoutObserver;
    Closing closing;
    std::unique_ptr<ui::Canvas> canvas;
    ui::Screen* presenter = nullptr;
    PavAlbumSettingViewController_iPad* settings = nullptr;
    ui::NavigationStack* stack = nullptr;
};

TEST_F(AlbumSettingScreenTest, FirstPasswordFromTheSettingsThenTheRowsShowIt)
{
    open();
    settings->didSelectRow(0);
    ASSERT_TRUE(top());
    EXPECT_EQ(top()->kind, "lock");
    EXPECT_EQ(top()->type, 3);
    EXPECT_EQ(events, std::vector<int>{27124});

    hasPassword = true;
    settings->secretAlbumPasswordControllerDidSetPassword(nullptr);
    ASSERT_TRUE(waitUntil([&] { return stack->topScreen() == settings; }));
    EXPECT_EQ(privateChanges, 1);
    EXPECT_EQ(cellText(0), "修改密码");

    settings->didSelectRow(0);
    EXPECT_EQ(top()->type, 0) << "with a password the row changes it";
}

TEST_F(AlbumSettingScreenTest, BindingAsksForThePasswordFirstUnlessUnlocked)
{
    hasPassword = true;
    open();
    settings->didSelectRow(1);
    ASSERT_TRUE(top());
    EXPECT_EQ(top()->kind, "lock");
    EXPECT_EQ(top()->type, 1);
    EXPECT_FALSE(top()->guide);

    settings->secretAlbumPasswordControllerDidPassVerification(nullptr);
    ASSERT_TRUE(top());
    EXPECT_EQ(top()->kind, "binding");
    EXPECT_EQ(top()->type, 1);
    EXPECT_EQ(stack->count(), 2) << "the binding screen took the lock screen's place";

    binding = "12345";
    settings->passwordProtectViewControllerDidBindKy(stack->topScreen());
    ASSERT_TRUE(waitUntil([&] { return stack->topScreen() == settings; }));
    EXPECT_EQ(settings->cellForSection(1)->detailTextLabel()->text(), "已关联12345");

    settings->didSelectRow(1);
    EXPECT_EQ(top()->type, 2) << "bound: show and change the binding";
    backToSettings();
    binding.clear();
    verified = true;
    settings->reloadData();
    settings->didSelectRow(1);
    EXPECT_EQ(top()->kind, "binding");
    EXPECT_EQ(top()->type, 1);
}

TEST_F(AlbumSettingScreenTest, ABindBehindTheCodeScreenComesBackToTheSettings)
{
    SharedDiskStore disk;
    FakeNetworkKind wifi(3);
    disk.requireCode("20005", "right");
    hasPassword = true;
    verified = true;
    open(false, true);
    settings->didSelectRow(1);
    auto* bindingScreen = qobject_cast<PavSecretAlbumPasswordProtectViewController_iPad*>(stack->topScreen());
    ASSERT_TRUE(bindingScreen);
    bindingScreen->kyAccountTextInput()->boldTextField()->setText("20005");
    bindingScreen->kyPasswordTextInput()->boldTextField()->setText("right");
    bindingScreen->confirmButtonClicked();
    ASSERT_TRUE(waitUntil([this] { return qobject_cast<PavVerifyPasswordController_iPad*>(stack->topScreen()); }));
    auto* code = qobject_cast<PavVerifyPasswordController_iPad*>(stack->topScreen());
    code->codeField()->boldTextField()->setText(disk.pendingCode("20005"));
    code->submitButtonClicked();

    ASSERT_TRUE(waitUntil([this] { return stack->topScreen() == settings; }));
    EXPECT_EQ(stack->count(), 1);
    EXPECT_TRUE(presenter->presentedScreen());
    EXPECT_EQ(closing.closes, 0);
    spinEvents(20);
    EXPECT_FALSE(PavProgressView::showing());
    for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing())
        delete d;
}

// The section titles carry a white shadow; the binding screen's button
// title (white) gets a white one too, so nothing darker than the button's
// own picture shows under its letters.
TEST_F(AlbumSettingScreenTest, TitlesCastWhiteShadows)
{
    hasPassword = true;
    verified = true;
    open(false, true);
    const ShownImage shown(canvas.get(), "settings_headers.png");
    int headers = 0;
    for (QLabel* label : settings->findChildren<QLabel*>()) {
        if (label->text() != "隐私相册" && label->text() != "云端相册（与Ky网盘使用相同的云端存储）")
            continue;
        ++headers;
        int white = 0;
        const QRect area = shown.areaOf(label);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = shown.pixel(x, y);
                white += c.red() >= 250 && c.green() >= 250 && c.blue() >= 250;
            }
        }
        EXPECT_GT(white, 5) << label->text().toStdString();
    }
    EXPECT_EQ(headers, 2);

    settings->didSelectRow(1);
    auto* binding = qobject_cast<PavSecretAlbumPasswordProtectViewController_iPad*>(stack->topScreen());
    ASSERT_TRUE(binding);
    ui::ImageButton* button = binding->confirmButton();
    ASSERT_EQ(button->currentTitle(), "绑定Ky");
    const QImage titled = button->grab().toImage();
    button->setTitle(QString());
    const QImage bare = button->grab().toImage();
    ASSERT_EQ(titled.size(), bare.size());
    int lighter = 0;
    int darker = 0;
    for (int y = 0; y < titled.height(); ++y) {
        for (int x = 0; x < titled.width(); ++x) {
            const int d = qGray(titled.pixel(x, y)) - qGray(bare.pixel(x, y));
            lighter += d > 10;
            darker += d < -10;
        }
    }
    EXPECT_GT(lighter, 50) << "the title is drawn";
    EXPECT_EQ(darker, 0);
}

TEST_F(AlbumSettingScreenTest, CloudSignInAnnouncesItself)
{
    open();
    settings->didSelectRow(2);
    ASSERT_TRUE(top());
    EXPECT_EQ(top()->kind, "login");
    EXPECT_EQ(events, std::vector<int>{27125});
    settings->cloudAlbumLoginSuccess();
    EXPECT_EQ(posted, QStringList{"login"});
}

TEST_F(AlbumSettingScreenTest, TheAccountPanelShowsTheSpaceAndSignsOut)
{
    cloud.setIsLogined(true);
    open();
    AlbumSettingAccountView* panel = settings->userInfoView();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_FALSE(settings->cellForSection(2));
    EXPECT_EQ(panel->accountLabel()->text(), "10001");
    EXPECT_EQ(panel->amountLabel()->text(), "512.0MB/2.0GB");
    EXPECT_EQ(panel->amountCapacityImageView()->width(), 82);   // 512 MB × 331 / 2 GB
    settings->didSelectRow(2);
    EXPECT_EQ(stack->topScreen(), settings) << "the signed-in row does nothing";

    // A zero total keeps the bar.
    user->setTotal_space(0);
    settings->refreshAmount();
    EXPECT_EQ(panel->amountCapacityImageView()->width(), 82);

    // Listeners of the sign-out find the album signed out and the password gone.
    ObserverToken check = center.addObserver("KyCloudAlbumLogoutNotification", [this](const QVariantMap&) {
        EXPECT_FALSE(cloud.isLogined());
        EXPECT_EQ(PavDiskUserInfoManager(home.documents()).password(), "");
        posted << "checked";
    });
    panel->logoutButton()->click();
    EXPECT_EQ(events, std::vector<int>{27153});
    EXPECT_EQ(posted, (QStringList{"logout", "checked"}));
    EXPECT_FALSE(cloud.isLogined());
    EXPECT_EQ(PavDiskUserInfoManager(home.documents()).password(), "") << "the saved account lost its password";
    ASSERT_TRUE(top());
    EXPECT_EQ(top()->kind, "login");
    backToSettings();
    EXPECT_EQ(cellText(2), "Ky账号未登录");
}

TEST_F(AlbumSettingScreenTest, CloseDismissesTheSheetAndTellsTheContainer)
{
    open();
    ASSERT_TRUE(settings->leftBarButtonItem());
    settings->leftBarButtonItem()->action();
    spinEvents(10);
    EXPECT_FALSE(presenter->presentedScreen());
    EXPECT_EQ(closing.closes, 1);
}

TEST_F(AlbumSettingScreenTest, ThePasswordRowOpensTheAlbumLockScreen)
{
    hasPassword = true;
    open(true);
    settings->didSelectRow(0);
    auto* lock = qobject_cast<PavSecretAlbumPasswordController_iPad*>(stack->topScreen());
    ASSERT_TRUE(lock);
    EXPECT_EQ(lock->delegate(), settings);
}

// Red, green or neither: which channel stands out in an area's mean colour.
QString tint(const QColor& c)
{
    if (c.red() > c.green() + 60 && c.red() > c.blue() + 60)
        return "red";
    if (c.green() > c.red() + 40 && c.green() > c.blue() + 40)
        return "green";
    return "neither";
}

TEST_F(AlbumSettingScreenTest, TheSheetShowsTheAccountWhileSignedInAndTheSignInRowOtherwise)
{
    hasPassword = true;
    binding = "12345";
    cloud.setIsLogined(true);
    open();
    AlbumSettingAccountView* panel = settings->userInfoView();
    const ShownImage signedIn(canvas.get(), "settings_signed_in.png");
    EXPECT_EQ(signedIn.areaOf(stack), QRect(243, 136, 538, 495)) << "the form sheet, centred";
    const QRect logout = signedIn.areaOf(panel->logoutButton());
    EXPECT_EQ(tint(signedIn.average(logout)), "red");
    EXPECT_EQ(tint(signedIn.average(signedIn.areaOf(panel->amountCapacityImageView()))), "green");
    EXPECT_TRUE(panel->accountLabel()->isVisible());

    presenter->dismissModal(false);
    spinEvents(10);
    cloud.setIsLogined(false);
    hasPassword = false;
    open();
    const ShownImage signedOut(canvas.get(), "settings_signed_out.png");
    EXPECT_EQ(tint(signedOut.average(logout)), "neither") << "no sign-out button where it was";
    EXPECT_FALSE(settings->userInfoView()->isVisible());
    PaviPadTableViewCell* signIn = settings->cellForSection(2);
    ASSERT_TRUE(signIn);
    EXPECT_TRUE(signIn->isVisible());
    EXPECT_EQ(signIn->textLabel()->text(), "Ky账号未登录");
    EXPECT_GT(signedOut.colourCount(signedOut.areaOf(signIn->textLabel())), 2) << "its text is drawn";
}

}
