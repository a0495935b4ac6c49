#include "platform/ui/Images.h"

#include "platform/ui/ImageDrawings.h"

#include <QHash>
#include <QPainter>

namespace ui {

namespace {
struct Drawing {
    QSize size;
    Images::Painter painter;
};

struct Registry {
    QHash<QString, Drawing> drawings;
    QHash<QString, QPixmap> cache;
    bool defaultsLoaded = false;
};

Registry& registry()
{
    static Registry r;
    if (!r.defaultsLoaded) {
        r.defaultsLoaded = true;
        ImageDrawings::registerDefaults();
    }
    return r;
}
}

QString Images::key(const QString& name)
{
    QString k = name.trimmed();
    if (k.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive))
        k.chop(4);
    return k;
}

void Images::registerDrawing(const QString& name, QSize size, Painter painter)
{
    Registry& r = registry();
    const QString k = key(name);
    r.drawings.insert(k, Drawing{size, std::move(painter)});
    r.cache.remove(k);
}

QPixmap Images::named(const QString& name)
{
    Registry& r = registry();
    const QString k = key(name);
    auto cached = r.cache.constFind(k);
    if (cached != r.cache.constEnd())
        return cached.value();
    auto it = r.drawings.constFind(k);
    if (it == r.drawings.constEnd() || it->size.isEmpty())
        return QPixmap();
    QPixmap pm(it->size);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        it->painter(p, it->size);
    }
    r.cache.insert(k, pm);
    return pm;
}

bool Images::exists(const QString& name)
{
    return registry().drawings.contains(key(name));
}

QSize Images::naturalSize(const QString& name)
{
    auto& d = registry().drawings;
    auto it = d.constFind(key(name));
    return it == d.constEnd() ? QSize() : it->size;
}

QStringList Images::names()
{
    return registry().drawings.keys();
}

}
