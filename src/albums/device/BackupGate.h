#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// What "备份" leads to before a backup starts: the cloud sign-in, an alert
// that stops it (no room, no network), the question asked over a
// connection without Wi-Fi, or the start itself.
class BackupGate {
public:
    enum class Step { SignIn, SpaceFull, NoNetwork, ConfirmCellular, Start };

    struct Decision {
        Step step;
        QString message;   // the alert's text, when the step shows one
    };

    // freeSpace: the account's total less its used space (nullopt when the
    // account's sizes are not known). selectedBytes: the selection's size.
    // network: NetworkConnectionKind (0 to 3). verb: what the question over a
    // connection without Wi-Fi calls the action ("备份", or "保存" for a
    // photo just taken).
    static Decision decide(bool isLogined, std::optional<qint64> freeSpace, quint64 selectedBytes, int network,
                           const QString& verb);
};
