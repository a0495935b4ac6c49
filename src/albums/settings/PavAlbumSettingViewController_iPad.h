#pragma once

#include "albums/AlbumUsage.h"
#include "albums/cloud/PavCloudAlbumLoginDelegate.h"
#include "albums/lock/PavSecretAlbumPasswordControllerDelegate.h"
#include "albums/settings/AlbumSettingRows.h"
#include "albums/settings/PavAlbumSettingViewControllerDelegate.h"
#include "disk/DiskUser.h"
#include "platform/core/DelegateRef.h"
#include "platform/ui/Screen.h"

#include <functional>
#include <memory>

class AlbumSettingAccountView;
class NotificationCenter;
class PavCloudAlbumManager;
class PavDiskUserInfoManager;
class PaviPadTableViewCell;

// The album settings sheet: the private album's password, its recovery
// binding and the cloud album's account, in one grouped table read anew
// each time the screen comes into view. It pushes the lock, binding and
// cloud sign-in screens onto its own stack and announces cloud sign-in and
// sign-out to the albums.
class PavAlbumSettingViewController_iPad : public ui::Screen,
                                           public PavSecretAlbumPasswordControllerDelegate,
                                           public PavCloudAlbumLoginDelegate {
    Q_OBJECT
public:
    static constexpr const char* kLoginNotification = "KyCloudAlbumLoginNotification";
    static constexpr const char* kLogoutNotification = "KyCloudAlbumLogoutNotification";
    static constexpr int kContentInsetTop = 18;
    static constexpr int kCellX = 32;
    static constexpr int kCellWidth = 474;

    struct Collaborators {
        std::function<bool()> hasPassword;      // default: the album password manager
        std::function<QString()> binding;       // default: the bound account ("" when none)
        std::function<bool()> hasVerified;      // default: the album password manager
        PavCloudAlbumManager* cloud = nullptr;  // default: the shared cloud album state
        std::function<std::shared_ptr<DiskUser>()> currentUser;   // default: the disk's signed-in user
        PavDiskUserInfoManager* savedAccount = nullptr;   // default: the shared saved account
        // A new password: the private album must reload. Default: the store's isUpdated.
        std::function<void()> privateAlbumChanged;
        // Makes a lock screen of a type; default: the album's lock screen.
        std::function<ui::Screen*(int type, bool showFirstGuide, PavSecretAlbumPasswordControllerDelegate*)>
            makeLockScreen;
        // Makes the recovery-binding screen of a type; default: the album's binding screen.
        std::function<ui::Screen*(int type, PavAlbumSettingViewController_iPad* settings)> makeBindingScreen;
        // Makes the cloud sign-in screen; default: the cloud album's sign-in.
        std::function<ui::Screen*(PavCloudAlbumLoginDelegate*)> makeCloudLogin;
        AlbumUsage::Recorder usage;             // default: the usage store
        NotificationCenter* center = nullptr;   // default: the default centre
    };

    explicit PavAlbumSettingViewController_iPad(QWidget* parent = nullptr);
    PavAlbumSettingViewController_iPad(Collaborators collaborators, QWidget* parent = nullptr);
    ~PavAlbumSettingViewController_iPad() override;

    PavAlbumSettingViewControllerDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(PavAlbumSettingViewControllerDelegate* delegate) { m_delegate.reset(delegate); }

    // The table's content for the state now.
    AlbumSettingRows rows() const;
    // The table's one row of a section (null when the section has none).
    PaviPadTableViewCell* cellForSection(int section) const;
    AlbumSettingAccountView* userInfoView() const { return m_userInfoView; }
    QWidget* settingTableView() const { return m_table; }

    void reloadData();
    // A tap on the row of a section.
    void didSelectRow(int section);
    void refreshAmount();
    void closeButtonClicked();
    void logoutButtonClicked();

    // PavSecretAlbumPasswordControllerDelegate
    void secretAlbumPasswordControllerDidPassVerification(PavSecretAlbumPasswordController_iPad*) override;
    void secretAlbumPasswordControllerDidSetPassword(PavSecretAlbumPasswordController_iPad*) override;
    // PavCloudAlbumLoginDelegate
    void cloudAlbumLoginSuccess() override;
    void cloudAlbumLoginCancel() override {}
    // The binding screen is done (bound or unbound).
    void passwordProtectViewControllerDidBindKy(ui::Screen* bindingScreen);
    void passwordProtectViewControllerDidUnBindKy(ui::Screen* bindingScreen);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void push(ui::Screen* screen, bool animated = true);
    void pushLock(int type, bool showFirstGuide);
    void pushBinding(int type);
    void popTop(bool animated);
    void popToSettings();
    QWidget* makeHeader(const QString& title, int width);
    void recordUsage(int eventId);

    Collaborators m_c;
    DelegateRef<PavAlbumSettingViewControllerDelegate> m_delegate;
    QWidget* m_table = nullptr;
    AlbumSettingAccountView* m_userInfoView = nullptr;
    PaviPadTableViewCell* m_cells[AlbumSettingRows::kSectionCount] = {nullptr, nullptr, nullptr};
};
