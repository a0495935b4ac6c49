#include "albums/cloud/CloudBatchNotice.h"

#include "platform/core/Localization.h"

QString CloudBatchNotice::networkErrorText()
{
    return L("网络连接错误，请检查网络。");
}

CloudBatchNotice CloudBatchNotice::decide(Batch batch, const BatchOutcome& outcome)
{
    CloudBatchNotice n;
    switch (outcome.kind()) {
    case BatchOutcome::Kind::Silent:
        return n;
    case BatchOutcome::Kind::NetworkAlert:
        n.kind = Kind::Alert;
        n.message = networkErrorText();
        return n;
    case BatchOutcome::Kind::Summary:
        break;
    }
    const unsigned ok = outcome.counts().succeeded;
    const unsigned failed = outcome.counts().failed;
    const bool save = batch == Batch::Save;
    if (failed > 0) {
        n.kind = Kind::Alert;
        if (ok > 0)
            n.message = QString::fromUtf8(save ? "%1张照片保存成功，%2张照片保存失败，请稍候重试！"
                                               : "%1张照片删除成功，%2张照片删除失败，请稍候重试！")
                            .arg(ok)
                            .arg(failed);
        else
            n.message = save ? L("保存失败，请稍候重试！") : L("删除失败，请稍候重试！");
        return n;
    }
    n.kind = Kind::Toast;
    n.message = QString::fromUtf8(save ? "%1张照片保存成功！" : "%1张照片删除成功！").arg(ok);
    if (save)
        n.usageEvent = kSaveFinishedEvent;
    return n;
}
