#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

// The photos chosen in edit mode, in the order they were chosen, keyed by the
// asset's URL. Videos never enter it (the screen refuses them first).
class AssetSelection {
public:
    bool contains(const QString& id) const { return m_set.contains(id); }
    int count() const { return static_cast<int>(m_order.size()); }
    bool isEmpty() const { return m_order.isEmpty(); }
    const QStringList& ids() const { return m_order; }

    // Adds or removes one photo; false when nothing changed.
    bool set(const QString& id, bool checked);
    // A day's check-all: only the photos whose state differs change; returns
    // how many did.
    int setAll(const QStringList& dayPhotos, bool checked);
    // True when the day holds at least one photo and every one is chosen.
    bool allChosen(const QStringList& dayPhotos) const;
    void clear();

private:
    QStringList m_order;
    QSet<QString> m_set;
};
