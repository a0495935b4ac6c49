#pragma once

#include <QByteArray>
#include <QString>

// Damages an SQLite file at rest as a failing disk does: one page
// overwritten with zeros. Pages are numbered from 1, as SQLite numbers them.
namespace SqlitePages {

// The page holding these bytes first (a row's text), 0 when none does.
int pageHolding(const QString& path, const QByteArray& bytes);
// The root page of a table or index, read from the (sound) file; 0 when unknown.
int rootPageOf(const QString& path, const QString& name);
bool zeroPage(const QString& path, int page);

}
