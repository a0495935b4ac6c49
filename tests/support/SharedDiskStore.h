#pragma once

#include <QString>
#include <QTemporaryDir>

// Points the shared disk store, and with it the default wiring of every
// screen (the shared login model, the credential check, the shared facade),
// at a temporary folder for one test. Afterwards the shared sign-in key and
// current user are cleared again.
class SharedDiskStore {
public:
    SharedDiskStore();
    ~SharedDiskStore();

    // Signs the shared login model in (creating the account on first use) and
    // reads the account into the shared facade; true on success.
    bool signInDisk(const QString& uin, const QString& password);
    // Creates the account with password; its next sign-in wants a code.
    void requireCode(const QString& uin, const QString& password);
    // The code of the account's verification image now.
    QString pendingCode(const QString& uin);

private:
    QTemporaryDir m_dir;
};
