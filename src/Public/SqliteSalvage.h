#pragma once

#include <QString>

class SqliteDBManager;

// Carries what can still be read from a damaged SQLite file into a fresh
// database that already has its schema: table by table (the tables of the
// fresh one, with the columns both have), row by row, each row under its
// old rowid. A stretch of rows that cannot be read (a damaged page) is
// stepped over and the rows after it are still taken; a row the fresh table
// refuses is left out. The damaged file is only read, never written.
class SqliteSalvage {
public:
    struct Result {
        int rows = 0;          // rows carried
        int lostStretches = 0; // unreadable stretches stepped over (a table read not at all counts as one)
    };

    static Result carry(const QString& damagedPath, SqliteDBManager& fresh);
};
