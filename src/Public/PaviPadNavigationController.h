#pragma once

#include "platform/ui/NavigationStack.h"

// The navigation stack the album's form sheets are shown in.
class PaviPadNavigationController : public ui::NavigationStack {
    Q_OBJECT
public:
    explicit PaviPadNavigationController(ui::Screen* rootViewController, QWidget* parent = nullptr);
};
