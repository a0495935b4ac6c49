#include "albums/cloud/PavVerifyPasswordController_iPad.h"

#include "Public/KyTextInput.h"
#include "Public/PavProgressView.h"
#include "disk/DiskLoginModel.h"
#include "platform/core/Localization.h"
#include "platform/media/ImageCodec.h"
#include "platform/ui/ImageButton.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationStack.h"

#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QUrl>

PavVerifyPasswordController_iPad::PavVerifyPasswordController_iPad(DiskLoginModel* model, QWidget* parent)
    : ui::Screen(parent), m_model(model ? *model : DiskLoginModel::sharedInstance())
{
}

void PavVerifyPasswordController_iPad::setVerifyImageURL(const QString& url)
{
    m_imageUrl = url;
    if (isViewLoaded())
        showImage();
}

void PavVerifyPasswordController_iPad::showImage()
{
    // Only local images of the disk store are shown.
    const QUrl url(m_imageUrl);
    m_imageView->setImage(url.isLocalFile() ? QPixmap::fromImage(ImageCodec::decodeFile(url.toLocalFile())) : QPixmap());
}

void PavVerifyPasswordController_iPad::viewDidLoad()
{
    setTitle(L("输入验证码"));
    setLeftBarButtonItem(ui::BarButtonItem{L("返回"), QString(), [this] { backButtonClicked(); }});
    setStyleSheet(QStringLiteral("background: #f2f2f2;"));

    auto* tip = new QLabel(L("请输入图中的验证码"), this);
    tip->setGeometry(40, 20, 300, 30);
    tip->setStyleSheet(QStringLiteral("color: #333; font-size: 18px; background: transparent;"));
    m_imageView = new ui::ImageView(this);
    m_imageView->setGeometry(360, 14, 120, 44);
    showImage();

    m_codeField = new KyTextInput(QRect(40, 70, 460, 52), 125, 320, this);
    m_codeField->firstLabel()->setText(L("验证码"));
    m_codeField->boldTextField()->setPlaceholderText(L("请输入验证码"));
    m_codeField->boldTextField()->setMaxLength(8);
    connect(m_codeField->boldTextField(), &QLineEdit::returnPressed, this, [this] { submitButtonClicked(); });

    m_faultLabel = new QLabel(L("验证码错误，请重新输入"), this);
    m_faultLabel->setGeometry(40, 126, 460, 24);
    m_faultLabel->setStyleSheet(QStringLiteral("color: #d03020; font-size: 15px; background: transparent;"));
    m_faultLabel->hide();

    m_submitButton = new ui::ImageButton(this);
    m_submitButton->setGeometry(43, 160, 456, 52);
    m_submitButton->setBackgroundImageNamed(QStringLiteral("syc_btn"), ui::ImageButton::Normal, QMargins(5, 5, 5, 5));
    m_submitButton->setBackgroundImageNamed(QStringLiteral("MemoryView_CleanButton_bg_highlighted"),
                                            ui::ImageButton::Highlighted, QMargins(5, 5, 5, 5));
    m_submitButton->setTitle(L("确　定"));
    m_submitButton->setTitleColor(Qt::white);
    QFont font = m_submitButton->font();
    font.setPixelSize(22);
    m_submitButton->setTitleFont(font);
    connect(m_submitButton, &QAbstractButton::clicked, this, [this] { submitButtonClicked(); });
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        child->setVisible(child != m_faultLabel);
}

void PavVerifyPasswordController_iPad::submitButtonClicked()
{
    loadViewIfNeeded();
    const QString code = m_codeField->boldTextField()->text().trimmed();
    if (code.isEmpty() || m_submitting)
        return;
    m_submitting = true;
    PavProgressView::showWithString(L("登录中..."), true);
    m_model.setDelegate(this);
    m_model.loginWithUserName(m_username, m_password, code);
}

void PavVerifyPasswordController_iPad::backButtonClicked()
{
    PavVerifyPasswordDelegate_iPad* delegate = m_vpDelegate.get();
    if (m_submitting)
        PavProgressView::dismiss();
    m_submitting = false;
    if (ui::NavigationStack* stack = navigationStack())
        stack->pop(true);
    if (delegate)
        delegate->cancelVerifyPassword();
}

int PavVerifyPasswordController_iPad::loginResult(bool result, int tag)
{
    m_submitting = false;
    ZEBConnectionAuthDelegate* target = m_zebDelegate.get();
    // The overlay of the repeated sign-in: a success leaves it to the form
    // (which may have more to do under it), anything else ends it here.
    if (!result || !target)
        PavProgressView::dismiss();
    // A refusal is shown by the sign-in form, which must be on top for it.
    if (!result)
        if (ui::NavigationStack* stack = navigationStack())
            stack->pop(true);
    if (target)
        target->loginResult(result, tag);
    return 0;
}

void PavVerifyPasswordController_iPad::loginNeedVerfy(const QString& imageUrl, bool fault)
{
    m_submitting = false;
    PavProgressView::dismiss();
    setVerifyImageURL(imageUrl);
    if (isViewLoaded()) {
        m_faultLabel->setVisible(fault);
        m_codeField->boldTextField()->clear();
    }
}
