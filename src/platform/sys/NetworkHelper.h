#pragma once

#include <functional>

// The kind of the current network connection.
enum NetworkConnectionKind {
    NetworkConnectionNone = 0,        // no network
    NetworkConnectionInternet = 1,    // internet without local Wi-Fi (cellular)
    NetworkConnectionLocalWifi = 2,   // local network only
    NetworkConnectionBoth = 3,        // local network and internet
};

class NetworkHelper {
public:
    using Provider = std::function<int()>;

    // The current NetworkConnectionKind (0 to 3). Any thread.
    static int getNetworkConnction();

    // Replaces the source of getNetworkConnction (tests); an empty provider
    // restores the system's answer.
    static void setConnectionProvider(Provider provider);

    // The system's answer: from QNetworkInformation where a backend reports
    // reachability, otherwise 3 when a non-loopback interface is up and
    // running with an address, else 0.
    static int systemConnectionKind();

private:
    static int interfaceConnectionKind();
};
