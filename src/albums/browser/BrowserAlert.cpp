#include "albums/browser/BrowserAlert.h"

#include "Public/PavAlertView.h"
#include "platform/core/Localization.h"

PavAlertView* BrowserAlert::show(ui::AlertDelegate* delegate, const QString& message, const QString& cancel,
                                 const QStringList& others, int tag)
{
    auto* alert = new PavAlertView(QString(), message, delegate, cancel, others);
    alert->setTag(tag);
    alert->show();
    return alert;
}

PavAlertView* BrowserAlert::showFailure(ui::AlertDelegate* delegate)
{
    return show(delegate, L("操作失败，请稍候重试。"), L("确定"));
}

void BrowserAlert::forget(PavAlertView* alert)
{
    if (alert)
        alert->setDelegate(nullptr);
}
