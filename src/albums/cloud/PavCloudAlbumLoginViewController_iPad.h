#pragma once

#include "albums/AlbumUsage.h"
#include "albums/cloud/PavCloudAlbumLoginDelegate.h"
#include "disk/DiskManagerDelegate.h"
#include "albums/cloud/PavVerifyPasswordDelegate_iPad.h"
#include "disk/ZEBConnectionAuthDelegate.h"
#include "platform/core/DelegateRef.h"
#include "platform/ui/Screen.h"

class DiskLoginModel;
class DiskManager;
class KyTextInput;
class KyUICheckBoxButton;
class PavAlertView;
class PavCloudAlbumManager;
class PavDiskUserInfoManager;
class SignInFields;
namespace ui {
class ImageButton;
}

// The cloud album's sign-in sheet (538 x 385): account number, password and
// automatic sign-in. After the disk account signs in it reads the account,
// lists its root and finds (or makes) the album folder "云端相册" directly
// below it, then marks the album signed in and closes. Answers that arrive
// once the sheet has closed, or for a step it is no longer waiting for, are
// dropped.
class PavCloudAlbumLoginViewController_iPad : public ui::Screen,
                                              public ZEBConnectionAuthDelegate,
                                              public DiskManagerDelegate,
                                              public PavVerifyPasswordDelegate_iPad {
    Q_OBJECT
public:
    struct Services {
        DiskLoginModel* login = nullptr;            // null: the shared ones
        DiskManager* disk = nullptr;
        PavDiskUserInfoManager* savedAccount = nullptr;
        PavCloudAlbumManager* album = nullptr;
        AlbumUsage::Recorder usage;
    };
    enum class Step { Idle, SigningIn, Verifying, ReadingAccount, ListingRoot, MakingFolder, Done };

    static constexpr int kUsageSignIn = 27126;
    static constexpr int kUsageFolderReady = 27127;

    explicit PavCloudAlbumLoginViewController_iPad(QWidget* parent = nullptr);
    PavCloudAlbumLoginViewController_iPad(Services services, QWidget* parent = nullptr);
    ~PavCloudAlbumLoginViewController_iPad() override;

    PavCloudAlbumLoginDelegate* delegate() const { return m_delegate.get(); }
    void setDelegate(PavCloudAlbumLoginDelegate* delegate) { m_delegate.reset(delegate); }
    Step step() const { return m_step; }

    KyTextInput* kyNameField() const { return m_nameField; }
    KyTextInput* kyPasswordField() const { return m_passwordField; }
    ui::ImageButton* kyLoginButton() const { return m_loginButton; }
    KyUICheckBoxButton* kyAutoLoginButton() const { return m_autoLoginButton; }

    void kyLoginButtonClicked();
    void kyAutoLoginButtonClicked();
    void closeButtonClicked();

    // ZEBConnectionAuthDelegate
    int loginResult(bool result, int tag) override;
    void loginNeedVerfy(const QString& imageUrl, bool fault) override;
    // PavVerifyPasswordDelegate_iPad
    void cancelVerifyPassword() override;
    // DiskManagerDelegate
    void fileDidQueryUserUserInfo(const DiskUserPtr& user) override;
    void fileDidQueryUserNeedPassword(const DiskUserPtr& user) override;
    void fileDidQueryUserUserInfoFail(const DiskUserPtr& user, const DiskError& error) override;
    void fileDidQueryPasswordFail(const DiskUserPtr& user, const DiskError* error) override;
    void fileDidQueryDirListRootDir(const DiskDirPtr& dir, const QList<DiskFilePtr>& files,
                                    const QList<DiskDirPtr>& dirs) override;
    void fileDidQueryDirListSuccess(const DiskDirPtr& dir, const QList<DiskFilePtr>& files,
                                    const QList<DiskDirPtr>& dirs) override;
    void fileDidQueryDirListFail(const DiskDirPtr& dir, const QString& message) override;
    void fileMakeDirSuccess(const DiskDirPtr& dir) override;
    void fileMakeDirFailWithErrorCode(const DiskError& error) override;
    bool canShowErrorAlert() override { return true; }

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

private:
    void buildForm();
    void addProgressView();
    void removeProgressView();
    PavAlertView* showAlert(const QString& title, const QString& message);
    // A failed sign-in's alert; once answered, the password field has the keyboard.
    void showFailure(const QString& title, const QString& message);
    void listDir(const DiskDirPtr& dir);
    void kyDidLogin(const DiskDirPtr& root);
    void albumFolderReady(const DiskDirPtr& dir);
    // The password the saved account keeps: the typed one when it saves
    // passwords, else the empty string.
    QString passwordToSave() const;
    bool waitingFor(Step step) const { return m_step == step; }

    DiskLoginModel& m_login;
    DiskManager& m_disk;
    PavDiskUserInfoManager& m_saved;
    PavCloudAlbumManager& m_album;
    AlbumUsage::Recorder m_usage;
    DelegateRef<PavCloudAlbumLoginDelegate> m_delegate;
    Step m_step = Step::Idle;
    DiskDirPtr m_pendingDir;       // the folder whose listing is awaited
    QString m_typedPassword;       // the password of the running sign-in
    SignInFields* m_fields = nullptr;
    bool m_isVerifyPassword = false;
    KyTextInput* m_nameField = nullptr;
    KyTextInput* m_passwordField = nullptr;
    ui::ImageButton* m_loginButton = nullptr;
    KyUICheckBoxButton* m_autoLoginButton = nullptr;
};
