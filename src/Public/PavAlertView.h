#pragma once

#include "platform/core/NotificationCenter.h"
#include "platform/ui/Alert.h"

class AppLifecycle;

// The album's alert. When the application enters the background while it
// is on screen, it clears its delegate (and handlers) and dismisses itself
// with its cancel button, so nobody hears an answer.
class PavAlertView : public ui::Alert {
    Q_OBJECT
public:
    PavAlertView(const QString& title, const QString& message, ui::AlertDelegate* delegate,
                 const QString& cancelButtonTitle, const QStringList& otherButtonTitles = {},
                 QWidget* parent = nullptr);
    // The same, watching the given lifecycle instead of the shared one.
    PavAlertView(AppLifecycle& lifecycle, const QString& title, const QString& message, ui::AlertDelegate* delegate,
                 const QString& cancelButtonTitle, const QStringList& otherButtonTitles = {},
                 QWidget* parent = nullptr);

private:
    void applicationDidEnterBackground();

    ObserverToken m_backgroundToken;
};
