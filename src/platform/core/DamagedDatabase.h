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
    // Readies the names of a database before SQLite opens it, which would
    // follow a symbolic link there (making a dangling link's target outside
    // the program's folders) and wait on a pipe. A journal name ("-journal",
    // "-wal", "-shm") holding anything but a regular file loses that name (the
    // link, never what it leads to); a database name holding one is moved
    // aside as damaged, and *movedTo says where. False when such a name
    // cannot be cleared: the database must then not be opened.
    static bool clearPlanted(const QString& path, QString* movedTo = nullptr);
};
