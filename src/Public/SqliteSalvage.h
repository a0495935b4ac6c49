#pragma once

#include <QString>

class SqliteDBManager;

// Carries what can still be read from a damaged SQLite file into a fresh
// database that already has its schema, each row under its old rowid, with
// the columns both tables have (a column the damaged one lacks is left to
// its default). First table by table through SQLite, along each table's
// tree: a stretch of rows that cannot be read (a damaged page) is stepped
// over and the rows after it are still taken. Then every page of the file
// is read (see SqliteLeafSalvage), so the rows on pages a damaged root or
// interior page no longer leads to are carried too (also when the file's
// first page, its header and schema, is lost: the pages are then read at
// the fresh database's page size, as the tables the fresh one has); a rowid or key carried
// already is not carried again, and a row the fresh table refuses is left
// out. The damaged file is only read, never written.
class SqliteSalvage {
public:
    struct Result {
        int rows = 0;          // rows carried
        // Pages and rows that could not be read or told apart (when the pages
        // could not be read at all: the unreadable stretches of the tables' trees).
        int lostStretches = 0;
    };

    static Result carry(const QString& damagedPath, SqliteDBManager& fresh);
};
