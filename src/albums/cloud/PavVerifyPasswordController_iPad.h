#pragma once

#include "albums/cloud/PavVerifyPasswordDelegate_iPad.h"
#include "disk/ZEBConnectionAuthDelegate.h"
#include "platform/core/DelegateRef.h"
#include "platform/ui/Screen.h"

class DiskLoginModel;
class KyTextInput;
class QLabel;
namespace ui {
class ImageButton;
class ImageView;
}

// The verification-code screen, pushed inside a sign-in sheet when the disk
// service wants a code. It shows the image, takes the code and signs in
// again with the account and password it was given. A new image (after a
// wrong code) is shown here; the final result of a sign-in goes on to
// zebDelegate, and a failure takes this screen off the stack. Going back
// tells vpDelegate.
class PavVerifyPasswordController_iPad : public ui::Screen, public ZEBConnectionAuthDelegate {
    Q_OBJECT
public:
    explicit PavVerifyPasswordController_iPad(DiskLoginModel* model = nullptr, QWidget* parent = nullptr);

    int controllerType() const { return m_type; }
    void setControllerType(int type) { m_type = type; }
    QString username() const { return m_username; }
    void setUsername(const QString& name) { m_username = name; }
    QString password() const { return m_password; }
    void setPassword(const QString& password) { m_password = password; }
    QString verifyImageURL() const { return m_imageUrl; }
    void setVerifyImageURL(const QString& url);
    void setZebDelegate(ZEBConnectionAuthDelegate* delegate) { m_zebDelegate = delegate; }
    void setVpDelegate(PavVerifyPasswordDelegate_iPad* delegate) { m_vpDelegate.reset(delegate); }

    KyTextInput* codeField() const { return m_codeField; }
    QLabel* faultLabel() const { return m_faultLabel; }
    ui::ImageView* imageView() const { return m_imageView; }

    // The "确定" action: signs in again with the typed code.
    void submitButtonClicked();
    void backButtonClicked();

    int loginResult(bool result, int tag) override;
    void loginNeedVerfy(const QString& imageUrl, bool fault) override;

protected:
    void viewDidLoad() override;

private:
    void showImage();

    DiskLoginModel& m_model;
    int m_type = 0;
    QString m_username;
    QString m_password;
    QString m_imageUrl;
    bool m_submitting = false;
    DiskWeakRef<ZEBConnectionAuthDelegate> m_zebDelegate;
    DelegateRef<PavVerifyPasswordDelegate_iPad> m_vpDelegate;
    KyTextInput* m_codeField = nullptr;
    QLabel* m_faultLabel = nullptr;
    ui::ImageView* m_imageView = nullptr;
    ui::ImageButton* m_submitButton = nullptr;
};
