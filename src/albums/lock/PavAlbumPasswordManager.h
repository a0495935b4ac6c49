#pragma once

#include "albums/lock/AlbumPasswordFile.h"
#include "albums/lock/AlbumRecoveryBinding.h"

#include <QObject>

#include <atomic>

// The private album's password and its unlock flag for the running
// application. hasVerified is false at creation and whenever the application
// locks the album again; every such lock is announced with locked(), so that
// an open lock screen can forget what it had accepted.
class PavAlbumPasswordManager : public QObject {
    Q_OBJECT
public:
    explicit PavAlbumPasswordManager(AlbumPasswordFile file = AlbumPasswordFile(),
                                     AlbumRecoveryBinding binding = AlbumRecoveryBinding(),
                                     QObject* parent = nullptr);

    static PavAlbumPasswordManager& shareAlbumPasswordManager();

    // Safe to read from any thread; written on the main thread.
    bool hasVerified() const { return m_hasVerified; }
    // Setting false is a re-lock: locked() is emitted every time.
    void setHasVerified(bool verified);

    // False for a null password; true on an exact match, which unlocks.
    bool verifyPassword(const QString& password);
    // Stores a new password; on success the album is unlocked.
    bool save(const QString& password);

    const AlbumPasswordFile& passwordFile() const { return m_file; }
    const AlbumRecoveryBinding& binding() const { return m_binding; }

    // The class-level operations, on the shared manager.
    static bool existPassword();
    static QString readPassword();
    static bool savePassword(const QString& password);
    static void initBinding();
    static bool usedBinding();
    static bool hasBinded();
    static QString getBinding();
    static void setBinding(const QString& account);
    static void removeBinding();

signals:
    void locked();

private:
    AlbumPasswordFile m_file;
    AlbumRecoveryBinding m_binding;
    std::atomic<bool> m_hasVerified{false};
};
