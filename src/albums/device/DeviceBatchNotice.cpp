#include "albums/device/DeviceBatchNotice.h"

#include "platform/core/Localization.h"

namespace {

constexpr int kPrivatePicker = 1;

DeviceBatchNotice alert(const QString& message, int tag, QStringList others = {})
{
    DeviceBatchNotice n;
    n.kind = DeviceBatchNotice::Kind::Alert;
    n.message = message;
    n.cancelTitle = L("确定");
    n.otherTitles = std::move(others);
    n.tag = tag;
    return n;
}

DeviceBatchNotice toast(const QString& message)
{
    DeviceBatchNotice n;
    n.kind = DeviceBatchNotice::Kind::Toast;
    n.message = message;
    n.popPickerNow = true;
    return n;
}

DeviceBatchNotice failures(DeviceBatchNotice::Batch batch, const BatchCounts& c)
{
    const bool encrypt = batch == DeviceBatchNotice::Batch::Encrypt;
    const int tag = encrypt ? DeviceBatchNotice::kEncryptFailureTag : DeviceBatchNotice::kUploadFailureTag;
    if (c.succeeded == 0)
        return alert(encrypt ? L("加密失败，请稍候重试！") : L("备份失败，请稍候重试！"), tag);
    const QString format = encrypt ? L("%1张照片加密成功，%2张照片加密失败，请稍候重试！")
                                   : L("%1张照片备份成功，%2张照片备份失败，请稍候重试！");
    return alert(format.arg(c.succeeded).arg(c.failed), tag);
}

DeviceBatchNotice encryptSucceeded(const BatchCounts& c, int useType, std::optional<bool> hideAlert)
{
    const QString notice = L("照片已成功导入隐私相册，请你手动删除iPad系统相册的原始照片。");
    if (!hideAlert.has_value()) {
        DeviceBatchNotice n = alert(notice, DeviceBatchNotice::kEncryptFirstNoticeTag);
        n.closesInBackground = useType == kPrivatePicker;
        n.storeHideAlert = false;
        return n;
    }
    if (*hideAlert)
        return toast(L("%1张照片加密成功！").arg(c.succeeded));
    return alert(notice, DeviceBatchNotice::kEncryptNoticeTag, {L("不再提示")});
}

}

DeviceBatchNotice DeviceBatchNotice::decide(Batch batch, const BatchOutcome& outcome, int useType,
                                            std::optional<bool> hideAlert)
{
    switch (outcome.kind()) {
    case BatchOutcome::Kind::Silent: {
        DeviceBatchNotice n;
        n.popPickerNow = true;
        return n;
    }
    case BatchOutcome::Kind::NetworkAlert: {
        DeviceBatchNotice n = alert(L("网络连接错误，请检查网络。"), 0);
        n.popPickerNow = true;
        return n;
    }
    case BatchOutcome::Kind::Summary:
        break;
    }
    const BatchCounts& c = outcome.counts();
    if (c.failed > 0)
        return failures(batch, c);
    if (batch == Batch::Encrypt)
        return encryptSucceeded(c, useType, hideAlert);
    DeviceBatchNotice n = toast(L("%1张照片备份成功！").arg(c.succeeded));
    n.usageEvent = kUploadSucceededEvent;
    return n;
}
