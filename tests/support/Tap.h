#pragma once

#include <QPoint>

class QWidget;

// A click at a point of a shown top-level widget, routed like a real click
// (to whatever widget lies there).
void tapAt(QWidget* window, QPoint pos);
