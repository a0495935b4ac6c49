#pragma once

#include <QString>

#include <functional>

class UserDefaults;

// The account to which the password's recovery is bound, kept in the user
// defaults: absent (never initialised), "" (not bound) or the account number.
// Also remembers whether the user has been offered the binding.
class AlbumRecoveryBinding {
public:
    using Defaults = std::function<UserDefaults&()>;

    // defaults is asked on every use (default: the process-wide defaults).
    explicit AlbumRecoveryBinding(Defaults defaults = {});

    // Stores "" when no string is there yet.
    void initBinding() const;
    bool usedBinding() const;
    bool hasBinded() const;
    // The bound account; a null QString when absent or "".
    QString getBinding() const;
    void setBinding(const QString& account) const;
    void removeBinding() const;

    bool hasShownBinding() const;
    void setHasShownBinding(bool shown) const;

    static constexpr const char* kBindingKey = "SecretAlbumBindingKy";
    static constexpr const char* kHasShowBindingKey = "PavSecretAlbumPasswordHasShowBinding";

private:
    UserDefaults& defaults() const;
    bool storesString() const;

    Defaults m_defaults;
};
