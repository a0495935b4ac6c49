#pragma once

#include <QString>
#include <QtGlobal>

// The name the private album gives an item: a UUID in its 36-character form.
// Ids read back from the index are outside input: one must pass isValid
// before it reaches a path.
class ItemId {
public:
    // The form of an id, unanchored (for patterns of names built on it).
    static const QString& pattern();
    static bool isValid(const QString& id);
    // The name of an item's file: "<id>" or "<id>.thumb".
    static bool isFileName(const QString& name);
    // The most a read of the item file at path takes: a thumbnail's cap for
    // "<id>.thumb", an item's otherwise.
    static qint64 readCap(const QString& path);
};
