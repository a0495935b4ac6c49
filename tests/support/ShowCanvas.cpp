#include "support/ShowCanvas.h"

#include "platform/ui/Canvas.h"

#include <QTest>

bool showOnCanvas(std::unique_ptr<ui::Canvas>& canvas, ui::Screen* root)
{
    canvas = std::make_unique<ui::Canvas>();
    canvas->setRootScreen(root);
    canvas->show();
    return QTest::qWaitForWindowExposed(canvas.get());
}
