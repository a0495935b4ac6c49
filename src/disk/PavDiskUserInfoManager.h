#pragma once

#include <QString>

#include <functional>

class UserDefaults;

// The saved disk account, kept in "KyDisk.user" in Documents. The file is
// UTF-8 text, one "name value" pair per line after the first line
// "KyDiskUser 1":
//   uin <account number, percent-escaped>
//   password <hex of the password's UTF-8 bytes enciphered with the file cipher>
//   savePassword YES|NO
//   autoLogin YES|NO
// A field that is not set has no line; an empty password has an empty value.
// The file is replaced atomically on every save.
class PavDiskUserInfoManager {
public:
    static constexpr const char* kFileName = "KyDisk.user";

    static PavDiskUserInfoManager& sharePavDiskUserInfoManager();
    // Reads the account file in `documents` (if there is one).
    PavDiskUserInfoManager(const QString& documents, std::function<UserDefaults&()> defaults = {});

    QString uin() const { return m_uin; }
    void setUin(const QString& uin) { m_uin = uin; }
    QString password() const { return m_password; }
    void setPassword(const QString& password) { m_password = password; }
    QString savePassword() const { return m_savePassword; }
    void setSavePassword(const QString& value) { m_savePassword = value; }
    QString autoLogin() const { return m_autoLogin; }
    void setAutoLogin(const QString& value) { m_autoLogin = value; }

    // Writes the account when an account number and a password are set
    // (an empty password counts as set); false when nothing was written.
    bool saveLoginInfoToDisk();
    // Marks the account number as used (YES in the user defaults under it).
    void setKyDiskUsedLabel(const QString& uin);

    QString filePath() const { return m_path; }

private:
    void load();

    QString m_path;
    std::function<UserDefaults&()> m_defaults;
    QString m_uin;
    QString m_password;
    QString m_savePassword;
    QString m_autoLogin;
};
