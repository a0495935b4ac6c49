#pragma once

#include <QString>

// What the project's SQLite stores share when a store file turns out damaged:
// the file is kept for the user, never written over. It is renamed
// "<file>.damaged-<UTC time>" together with its journal files, and the store
// starts afresh in its place. Only damage moves a file: a busy, locked, full
// or unreadable database is not damaged.
class DamagedDatabase {
public:
    // Whether an SQLite result code says the file itself is damaged
    // (SQLITE_CORRUPT, SQLITE_NOTADB).
    static bool isDamageCode(int sqliteCode);
    // Renames the database and its "-journal", "-wal" and "-shm" files
    // aside; the new path of the database, or empty when it could not be
    // moved (nothing is then written over it).
    static QString moveAside(const QString& path);
};
