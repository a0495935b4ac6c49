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
    if (message.isEmpty() || m_texts.contains(message))
        return;
    m_texts.insert(message);
    auto* alert = new PavAlertView(QString(), message, nullptr, L("确定"));
    alert->setDismissedHandler([this, alive = std::weak_ptr<char>(m_alive), message](int) {
        if (!alive.expired())
            m_texts.remove(message);
    });
    alert->show();
}
