#include "Public/PavAlertView.h"

#include "platform/core/AppLifecycle.h"

PavAlertView::PavAlertView(const QString& title, const QString& message, ui::AlertDelegate* delegate,
                           const QString& cancelButtonTitle, const QStringList& otherButtonTitles, QWidget* parent)
    : PavAlertView(AppLifecycle::shared(), title, message, delegate, cancelButtonTitle, otherButtonTitles, parent)
{
}

PavAlertView::PavAlertView(AppLifecycle& lifecycle, const QString& title, const QString& message,
                           ui::AlertDelegate* delegate, const QString& cancelButtonTitle,
                           const QStringList& otherButtonTitles, QWidget* parent)
    : ui::Alert(title, message, delegate, cancelButtonTitle, otherButtonTitles, parent)
{
    m_backgroundToken = lifecycle.center().addObserver(
        QString::fromLatin1(AppLifecycle::kDidEnterBackgroundNotification),
        [this](const QVariantMap&) { applicationDidEnterBackground(); });
}

void PavAlertView::applicationDidEnterBackground()
{
    if (!isShowing())
        return;
    setDelegate(nullptr);
    clearHandlers();
    blockSignals(true);
    dismissWithClickedButtonIndex(cancelButtonIndex(), false);
}
