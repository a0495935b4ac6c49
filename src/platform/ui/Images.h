#pragma once

#include <QPixmap>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;

namespace ui {

// Named images, all drawn by the project itself. A name is looked up with or
// without its ".png" suffix ("PavAlbum_Background_iPad.png" and
// "PavAlbum_Background_iPad" are the same image). An unknown name gives a
// null pixmap, which draws nothing. Pixmaps are made once and cached; main
// thread only.
class Images {
public:
    using Painter = std::function<void(QPainter& painter, const QSize& size)>;

    static QPixmap named(const QString& name);
    static bool exists(const QString& name);
    static QSize naturalSize(const QString& name);
    static QStringList names();

    // Adds (or replaces) a drawing; the painter gets a transparent canvas of
    // the natural size.
    static void registerDrawing(const QString& name, QSize size, Painter painter);

    // The lookup key of a name: without a ".png" suffix.
    static QString key(const QString& name);
};

}
