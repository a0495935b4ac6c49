#include "albums/device/AssetSelection.h"

bool AssetSelection::set(const QString& id, bool checked)
{
    if (checked == m_set.contains(id))
        return false;
    if (checked) {
        m_set.insert(id);
        m_order.append(id);
    } else {
        m_set.remove(id);
        m_order.removeOne(id);
    }
    return true;
}

int AssetSelection::setAll(const QStringList& dayPhotos, bool checked)
{
    int changed = 0;
    for (const QString& id : dayPhotos)
        changed += set(id, checked) ? 1 : 0;
    return changed;
}

bool AssetSelection::allChosen(const QStringList& dayPhotos) const
{
    if (dayPhotos.isEmpty())
        return false;
    for (const QString& id : dayPhotos) {
        if (!m_set.contains(id))
            return false;
    }
    return true;
}

void AssetSelection::clear()
{
    m_order.clear();
    m_set.clear();
}
