#include "platform/core/Localization.h"

#include <QMutex>

namespace {
QMutex g_mutex;
QHash<QString, QString>& table()
{
    static QHash<QString, QString> entries;
    return entries;
}
}

QString Localization::lookup(const QString& text)
{
    QMutexLocker lock(&g_mutex);
    auto it = table().constFind(text);
    return it == table().constEnd() ? text : it.value();
}

void Localization::setEntry(const QString& text, const QString& translated)
{
    QMutexLocker lock(&g_mutex);
    table().insert(text, translated);
}

void Localization::clear()
{
    QMutexLocker lock(&g_mutex);
    table().clear();
}
