#pragma once

#include <QString>

class QWidget;

// Saves widget->grab() as PNG under PAV_TEST_OUTPUT_DIR; returns the path
// (empty when it could not be written).
QString saveScreenshot(QWidget* widget, const QString& fileName);
