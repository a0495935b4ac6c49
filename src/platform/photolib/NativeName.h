#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names as the file system holds them: bytes, not always valid UTF-8.
// A byte that is not part of a valid UTF-8 sequence is kept in the text as
// the lone surrogate U+DC00 + byte, so a name read from a folder opens,
// renames and deletes the same file again. Valid names are plain UTF-8 both
// ways. (Qt's own conversion turns such bytes into U+FFFD for good.)
namespace NativeName {

QString decode(QByteArrayView bytes);
QByteArray encode(const QString& text);
// Whether Qt's own encoding gives the text's bytes back (no kept byte in it).
bool isPlain(const QString& text);

}
