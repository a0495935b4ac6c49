#include "albums/cloud/CloudCameraUpload.h"

#include "Public/PavAlertView.h"
#include "Public/PavStringFormat.h"
#include "Public/PavToastView_iPad.h"
#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "albums/device/BackupGate.h"
#include "albums/device/DiskBackupUploader.h"
#include "platform/core/Localization.h"
#include "platform/core/PavDateUtil.h"
#include "platform/media/ImageCodec.h"

#include <QDateTime>

CloudCameraUpload::CloudCameraUpload(Collaborators collaborators) : m_c(std::move(collaborators)) {}

CloudCameraUpload::~CloudCameraUpload()
{
    if (m_curUploadPhoto)
        m_c.uploader->cancelCurrent();
    if (m_panel)
        m_panel->deleteLater();
}

bool CloudCameraUpload::asking() const
{
    return !m_pending.isEmpty() && m_question && (m_question->isShowing() || m_question->isWaiting());
}

void CloudCameraUpload::start(const QImage& image)
{
    if (image.isNull() || isBusy())
        return;
    m_pending.clear();
    const QByteArray jpeg = ImageCodec::encodeJpeg(image, 100);
    if (jpeg.isEmpty())
        return;
    const BackupGate::Decision d =
        BackupGate::decide(m_c.isLogined(), m_c.freeSpace(), quint64(jpeg.size()), m_c.network(), L("保存"));
    switch (d.step) {
    case BackupGate::Step::SignIn:
        return;
    case BackupGate::Step::SpaceFull:
    case BackupGate::Step::NoNetwork:
        showAlert(d.message);
        return;
    case BackupGate::Step::ConfirmCellular:
    case BackupGate::Step::Start:
        break;
    }
    m_pending = jpeg;
    m_name = PavDateUtil::pavReadableDateStringWithFormat(QDateTime::currentDateTimeUtc(),
                                                          QStringLiteral("yyyyMMddHHmmssSSS"))
        + QStringLiteral(".jpg");
    if (d.step == BackupGate::Step::ConfirmCellular)
        m_question = showAlert(d.message, kUploadOverCellularTag, {L("确定")});
    else
        uploadPhoto();
}

void CloudCameraUpload::alertViewClickedButtonAtIndex(ui::Alert* alert, int buttonIndex)
{
    if (alert->tag() != kUploadOverCellularTag || m_pending.isEmpty())
        return;
    if (buttonIndex == 1)
        uploadPhoto();
    else
        m_pending.clear();
}

void CloudCameraUpload::uploadPhoto()
{
    const QByteArray data = std::exchange(m_pending, QByteArray());
    const quint64 size = quint64(data.size());
    QWidget* host = m_c.panelHost();
    if (host && !m_panel) {
        m_panel = new PavPhotosProcessingView_iPad(host->rect(), unsigned(size), L("照片正在备份..."), this, host);
        m_panel->setTag(kUploadPanelTag);
        m_panel->setProgressMessage(QStringLiteral("0 B/%1").arg(PavStringFormat::kmgStringForNumber(size)));
        m_panel->show();
        m_panel->raise();
    }
    m_spaceFull = false;
    m_signInLapsed = false;
    CloudBackupUploader::Callbacks callbacks;
    callbacks.progress = [this](float percent) { progressed(percent); };
    callbacks.spaceFull = [this] { m_spaceFull = true; };
    callbacks.requireLogin = [this] { m_signInLapsed = true; };
    callbacks.done = [this](bool succeeded) { finished(succeeded); };
    m_c.uploader->uploadData(data, m_name, m_c.folder(), std::move(callbacks));
    m_curUploadPhoto = m_c.uploader->curUploadFile();
}

void CloudCameraUpload::progressed(float percent)
{
    if (!m_panel)
        return;
    const quint64 total = m_panel->totalCount();
    const quint64 done = quint64(double(total) * percent / 100.0);
    m_panel->setProgress(percent / 100.f);
    m_panel->setProgressMessage(
        QStringLiteral("%1/%2").arg(PavStringFormat::kmgStringForNumber(done), PavStringFormat::kmgStringForNumber(total)));
}

void CloudCameraUpload::finished(bool succeeded)
{
    m_curUploadPhoto.reset();
    removePanel();
    if (succeeded) {
        PavToastView_iPad::showSuccessToastViewWithMessage(L("照片保存成功！"), 0.8);
        if (m_c.uploaded)
            m_c.uploaded();
        return;
    }
    if (m_signInLapsed) {
        if (m_c.signInLapsed)
            m_c.signInLapsed();
        return;
    }
    // A full disk is told as full cloud space, not as a passing failure.
    showAlert(m_spaceFull ? L("云端存储空间已满，无法完成备份。") : L("操作失败，请稍候重试。"));
}

void CloudCameraUpload::photosProcessingViewCancelButtonClicked(PavPhotosProcessingView_iPad* view)
{
    if (!view || view != m_panel)
        return;
    if (m_curUploadPhoto)
        m_c.uploader->cancelCurrent();
    m_curUploadPhoto.reset();
    removePanel();
}

void CloudCameraUpload::removePanel()
{
    if (m_panel) {
        m_panel->hide();
        m_panel->deleteLater();
        m_panel = nullptr;
    }
}

PavAlertView* CloudCameraUpload::showAlert(const QString& message, int tag, const QStringList& others)
{
    auto* alert = new PavAlertView(QString(), message, others.isEmpty() ? nullptr : this,
                                   others.isEmpty() ? L("确定") : L("取消"), others);
    alert->setTag(tag);
    alert->show();
    return alert;
}
