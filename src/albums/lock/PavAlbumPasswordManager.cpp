#include "albums/lock/PavAlbumPasswordManager.h"

#include <QCoreApplication>

PavAlbumPasswordManager::PavAlbumPasswordManager(AlbumPasswordFile file, AlbumRecoveryBinding binding, QObject* parent)
    : QObject(parent), m_file(std::move(file)), m_binding(std::move(binding))
{
}

PavAlbumPasswordManager& PavAlbumPasswordManager::shareAlbumPasswordManager()
{
    static PavAlbumPasswordManager* manager = [] {
        auto* m = new PavAlbumPasswordManager();
        // Workers may be the first to ask; the lock announcements belong to
        // the main thread all the same.
        if (QCoreApplication* app = QCoreApplication::instance())
            m->moveToThread(app->thread());
        return m;
    }();
    return *manager;
}

void PavAlbumPasswordManager::setHasVerified(bool verified)
{
    m_hasVerified = verified;
    if (!verified)
        emit locked();
}

bool PavAlbumPasswordManager::verifyPassword(const QString& password)
{
    if (password.isNull())
        return false;
    const QString stored = m_file.read();
    if (stored.isNull() || stored != password)
        return false;
    m_hasVerified = true;
    return true;
}

bool PavAlbumPasswordManager::save(const QString& password)
{
    if (!m_file.write(password))
        return false;
    m_hasVerified = true;
    return true;
}

bool PavAlbumPasswordManager::existPassword() { return shareAlbumPasswordManager().passwordFile().exists(); }
QString PavAlbumPasswordManager::readPassword() { return shareAlbumPasswordManager().passwordFile().read(); }
bool PavAlbumPasswordManager::savePassword(const QString& password) { return shareAlbumPasswordManager().save(password); }
void PavAlbumPasswordManager::initBinding() { shareAlbumPasswordManager().binding().initBinding(); }
bool PavAlbumPasswordManager::usedBinding() { return shareAlbumPasswordManager().binding().usedBinding(); }
bool PavAlbumPasswordManager::hasBinded() { return shareAlbumPasswordManager().binding().hasBinded(); }
QString PavAlbumPasswordManager::getBinding() { return shareAlbumPasswordManager().binding().getBinding(); }
void PavAlbumPasswordManager::setBinding(const QString& account) { shareAlbumPasswordManager().binding().setBinding(account); }
void PavAlbumPasswordManager::removeBinding() { shareAlbumPasswordManager().binding().removeBinding(); }
