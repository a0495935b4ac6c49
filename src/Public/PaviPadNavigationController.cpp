#include "Public/PaviPadNavigationController.h"

PaviPadNavigationController::PaviPadNavigationController(ui::Screen* rootViewController, QWidget* parent)
    : ui::NavigationStack(rootViewController, parent)
{
    setObjectName(QStringLiteral("PaviPadNavigationController"));
    setStyleSheet(QStringLiteral("#PaviPadNavigationController { background: rgb(236,238,242); }"));
}
