#include "support/Screenshot.h"

#include <QDir>
#include <QPixmap>
#include <QWidget>

QString saveScreenshot(QWidget* widget, const QString& fileName)
{
    const QString dir = QStringLiteral(PAV_TEST_OUTPUT_DIR);
    if (!QDir().mkpath(dir) || !widget)
        return {};
    const QString path = dir + "/" + fileName;
    return widget->grab().save(path, "PNG") ? path : QString();
}
