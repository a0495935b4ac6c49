#pragma once

#include <QString>

// Told of every finished, failed or timed-out exchange of the transport:
// status "FINISH", "FAIL" or "TIMEOUT", elapsed whole seconds, the network
// kind, bytes sent and received, and the request time (seconds since 1970).
class AnaCommunicationNetFlowDelegate {
public:
    virtual ~AnaCommunicationNetFlowDelegate() = default;
    virtual void onNetFlowHappened(const QString& url, const QString& status, int elapse, bool isWiFi,
                                   qint64 upFlow, qint64 downFlow, double reqTime) = 0;
};
