#include "albums/cloud/DiskErrorAlerts.h"

#include "Public/PavAlertView.h"
#include "disk/DiskManager.h"
#include "platform/core/Localization.h"

DiskErrorAlerts& DiskErrorAlerts::shared()
{
    static DiskErrorAlerts alerts;
    return alerts;
}

void DiskErrorAlerts::installOn(DiskManager& manager)
{
    manager.setErrorSink([](const QString& message) { shared().show(message); });
}

void DiskErrorAlerts::show(const QString& message)
{
    // An alert's dismissed handler is not enough to follow it: one dismissed
    // on the way to the background drops its handlers first.
    m_alerts.removeIf([](const auto& entry) {
        const PavAlertView* alert = entry.value();
        return !alert || !(alert->isShowing() || alert->isWaiting());
    });
    if (message.isEmpty() || m_alerts.contains(message))
        return;
    auto* alert = new PavAlertView(QString(), message, nullptr, L("确定"));
    m_alerts.insert(message, alert);
    alert->show();
}

QSet<QString> DiskErrorAlerts::shown() const
{
    QSet<QString> texts;
    for (auto it = m_alerts.begin(); it != m_alerts.end(); ++it) {
        if (it.value() && (it.value()->isShowing() || it.value()->isWaiting()))
            texts.insert(it.key());
    }
    return texts;
}
