#include "albums/private/SecretBatchSummary.h"

#include "platform/core/Localization.h"

namespace {

SecretBatchSummary alert(const QString& text, int tag)
{
    SecretBatchSummary s;
    s.text = text;
    s.cancelTitle = L("确定");
    s.tag = tag;
    return s;
}

SecretBatchSummary successToast(const QString& text)
{
    SecretBatchSummary s;
    s.toast = true;
    s.text = text;
    return s;
}

}

SecretBatchSummary SecretBatchSummary::of(Kind kind, const BatchCounts& counts, bool hideSuccessAlert)
{
    const int ok = static_cast<int>(counts.succeeded);
    const int bad = static_cast<int>(counts.failed);
    if (kind == Kind::Delete) {
        if (bad > 0 && ok > 0)
            return alert(QString::fromUtf8("%1张照片删除成功，%2张照片删除失败，请稍候重试！").arg(ok).arg(bad), 0);
        if (bad > 0)
            return alert(L("删除失败，请稍候重试！"), 0);
        return successToast(QString::fromUtf8("%1张照片删除成功！").arg(ok));
    }
    if (bad > 0 && ok > 0)
        return alert(QString::fromUtf8("%1张照片移出成功，%2张照片移出失败，请稍候重试！").arg(ok).arg(bad),
                     kMoveOutFailedTag);
    if (bad > 0)
        return alert(L("移出失败，请稍候重试！"), kMoveOutFailedTag);
    if (hideSuccessAlert)
        return successToast(QString::fromUtf8("%1张照片移出成功！").arg(ok));
    SecretBatchSummary s = alert(L("照片已成功移到手机相册。"), kMoveOutDoneTag);
    s.otherTitles = {L("不再提示")};
    return s;
}
