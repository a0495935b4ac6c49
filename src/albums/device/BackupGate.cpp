#include "albums/device/BackupGate.h"

#include "Public/PavStringFormat.h"
#include "platform/core/Localization.h"
#include "platform/sys/NetworkHelper.h"

BackupGate::Decision BackupGate::decide(bool isLogined, std::optional<qint64> freeSpace, quint64 selectedBytes,
                                        int network, const QString& verb)
{
    if (!isLogined)
        return {Step::SignIn, QString()};
    // Compared in 64 bits: a selection beyond 4 GB must not wrap to a small size.
    if (freeSpace && (*freeSpace < 0 || selectedBytes > quint64(*freeSpace)))
        return {Step::SpaceFull, L("云端存储空间已满，无法完成备份。")};
    switch (network) {
    case NetworkConnectionNone:
        return {Step::NoNetwork, L("网络连接错误，请检查网络。")};
    case NetworkConnectionInternet:
        return {Step::ConfirmCellular, L("当前网络为普通网络，%1选中图片约耗%2流量，确定%1？")
                                           .arg(verb, PavStringFormat::kmgStringForNumber(selectedBytes))};
    default:
        return {Step::Start, QString()};
    }
}
