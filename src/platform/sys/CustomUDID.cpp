#include "platform/sys/CustomUDID.h"

#include "codec/Digest.h"
#include "platform/sys/UIDeviceEx.h"

#include <QFileInfo>
#include <QNetworkInterface>

#include <algorithm>
#include <tuple>
#include <vector>

QString CustomUDID::udidWithWifiMacAddressAndDeviceModelMD5()
{
    static const QString udid = udidFor(wifiHardwareAddress(), UIDeviceEx::model());
    return udid;
}

QString CustomUDID::udidFor(const QString& hardwareAddress, const QString& machine)
{
    const QByteArray input = (hardwareAddress.toUpper() + machine).toUtf8();
    return QString::fromLatin1(codec_md5_hex(std::string_view(input.constData(), size_t(input.size()))));
}

QString CustomUDID::wifiHardwareAddress()
{
    // (not wireless, name, address): wireless interfaces sort first.
    std::vector<std::tuple<bool, QString, QString>> candidates;
    for (const QNetworkInterface& iface : QNetworkInterface::allInterfaces()) {
        const QString mac = iface.hardwareAddress().toUpper();
        if ((iface.flags() & QNetworkInterface::IsLoopBack) || mac.isEmpty() || mac == "00:00:00:00:00:00")
            continue;
        const bool wireless = QFileInfo::exists("/sys/class/net/" + iface.name() + "/wireless");
        candidates.emplace_back(!wireless, iface.name(), mac);
    }
    if (candidates.empty())
        return QStringLiteral("02:00:00:00:00:00");
    return std::get<2>(*std::min_element(candidates.begin(), candidates.end()));
}
