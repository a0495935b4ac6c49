#include "albums/browser/PavCloudPhotoLoadingView_iPad.h"

#include "platform/core/Localization.h"
#include "platform/ui/ImageView.h"

#include <QLabel>

#include <algorithm>

namespace {
const char* const kLoadingImage = "PavAlbum_BrowerLoadingPhoto_iPad.png";
}

PavCloudPhotoLoadingView_iPad::PavCloudPhotoLoadingView_iPad(const QRect& frame, QWidget* parent)
    : QWidget(parent), m_statusImageView(new ui::ImageView(this)), m_msgLabel(new QLabel(this))
{
    setGeometry(frame);
    m_statusImageView->setGeometry(438, 244, 140, 100);
    m_statusImageView->setMode(ui::ImageView::Mode::AspectFit);
    const QRect status = m_statusImageView->geometry();
    m_msgLabel->setGeometry(0, status.y() + status.height() + 30, frame.width(), 25);
    m_msgLabel->setAlignment(Qt::AlignCenter);
    QFont font = m_msgLabel->font();
    font.setPixelSize(18);
    m_msgLabel->setFont(font);
    m_msgLabel->setStyleSheet(QStringLiteral("color: rgb(177, 177, 177); background: transparent;"));
    initBeforeLoading();
}

void PavCloudPhotoLoadingView_iPad::setState(const QString& message, const QString& imageName, bool failed)
{
    m_msgLabel->setText(message);
    m_statusImageView->setImageNamed(imageName);
    m_failed = failed;
}

void PavCloudPhotoLoadingView_iPad::initBeforeLoading()
{
    setState(L("正在打开照片 请稍候..."), kLoadingImage, false);
}

void PavCloudPhotoLoadingView_iPad::loadingSuccessfully()
{
    setState(L("图片加载成功"), kLoadingImage, false);
}

void PavCloudPhotoLoadingView_iPad::loadingFailed()
{
    setState(L("你的图片裂开了，点击重新加载"), QStringLiteral("PavAlbum_BrowerLoadPhotoFailed_iPad.png"), true);
}

QString PavCloudPhotoLoadingView_iPad::progressMessage(float percent)
{
    const int whole = percent >= 0.0f ? int(std::min(percent, 100.0f)) : 0;  // NaN too gives 0
    return L("正在打开照片 请稍候...（%d%%）").replace(QStringLiteral("%d"), QString::number(whole))
        .replace(QStringLiteral("%%"), QStringLiteral("%"));
}

void PavCloudPhotoLoadingView_iPad::setProgress(float percent)
{
    m_msgLabel->setText(progressMessage(percent));
}
