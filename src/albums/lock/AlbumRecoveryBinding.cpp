#include "albums/lock/AlbumRecoveryBinding.h"

#include "platform/core/UserDefaults.h"

AlbumRecoveryBinding::AlbumRecoveryBinding(Defaults defaults) : m_defaults(std::move(defaults)) {}

UserDefaults& AlbumRecoveryBinding::defaults() const
{
    return m_defaults ? m_defaults() : UserDefaults::standardUserDefaults();
}

bool AlbumRecoveryBinding::storesString() const
{
    return defaults().objectForKey(kBindingKey).typeId() == QMetaType::QString;
}

void AlbumRecoveryBinding::initBinding() const
{
    if (!storesString())
        defaults().setString(kBindingKey, QString(""));
}

bool AlbumRecoveryBinding::usedBinding() const
{
    return storesString();
}

bool AlbumRecoveryBinding::hasBinded() const
{
    return !getBinding().isEmpty();
}

QString AlbumRecoveryBinding::getBinding() const
{
    if (!storesString())
        return QString();
    const QString account = defaults().stringForKey(kBindingKey);
    return account.isEmpty() ? QString() : account;
}

void AlbumRecoveryBinding::setBinding(const QString& account) const
{
    defaults().setString(kBindingKey, account.isNull() ? QString("") : account);
}

void AlbumRecoveryBinding::removeBinding() const
{
    defaults().setString(kBindingKey, QString(""));
}

bool AlbumRecoveryBinding::hasShownBinding() const
{
    return defaults().boolForKey(kHasShowBindingKey);
}

void AlbumRecoveryBinding::setHasShownBinding(bool shown) const
{
    defaults().setBool(kHasShowBindingKey, shown);
}
