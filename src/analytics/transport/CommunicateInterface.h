#pragma once

#include "analytics/transport/CommunicateMethod.h"
#include "analytics/transport/CurlExchange.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <mutex>

// Performs one upload exchange over libcurl: builds the envelope, posts it,
// counts ticks for the time-out and reads the enciphered answer. Every
// exchange ends with exactly one delegate call and leaves the engine idle.
class CommunicateInterface : public CommunicateMethod {
public:
    struct Config {
        QString servUrl;
        QString requestServant = QStringLiteral("upload");
        QString requestFunc = QStringLiteral("access");
        QString requestKey = QStringLiteral("detail");
        int zipAlg = 2;
        int encAlg = 1;
        QString encKey;
        QString encPubKey;
        int connectionTimeOut = 0;
    };

    static inline const QString kTimeOutDomain = QStringLiteral("AnalyticsNetworkTimeOutError");
    static inline const QString kNetworkDomain = QStringLiteral("AnalyticsNetworkDomainError");
    static inline const QString kCurlDomain = QStringLiteral("AnalyticsCurlErrorDomain");

    explicit CommunicateInterface(Config config);

    void communicateWithSeverAsync(const std::shared_ptr<NSRequestPackage>& package,
                                   AnaCommunicationRequestDelegate* delegate) override;
    void abort() override;

    // The tick is one second; tests shorten it for every engine made later.
    static void setTickLength(std::chrono::milliseconds tick);
    static std::chrono::milliseconds tickLength();
    // Every exchange ends by this time after it started (CurlExchange's
    // deadline, a few minutes); tests shorten it for engines' later exchanges.
    static void setExchangeDeadline(std::chrono::milliseconds deadline);
    static std::chrono::milliseconds exchangeDeadline();

    QString servUrl() const;
    bool isRunning() const { return m_running.load(); }
    bool isFinish() const { return m_finish.load(); }
    int timeOutTicks() const { return m_nTimeOut; }
    int lastTimeoutTick() const { return m_lastTimeoutTick.load(); }
    double reqTime() const { return m_reqTime; }
    double finishTime() const { return m_finishTime; }
    bool isWiFi() const { return m_isWiFi; }
    int upFlow() const { return m_upFlow; }
    int downFlow() const { return m_downFlow; }
    QByteArray retryPostData() const;

private:
    Config m_config;
    mutable std::mutex m_mutex;
    CurlExchange m_exchange;
    std::atomic<bool> m_abort{false};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_finish{false};
    std::atomic<int> m_lastTimeoutTick{0};
    bool m_cancelled = false;   // the last exchange ended by its time-out
    int m_nTimeOut = 10;
    double m_reqTime = 0;
    double m_finishTime = 0;
    bool m_isWiFi = false;
    int m_upFlow = 0;
    int m_downFlow = 0;
    QByteArray m_retryPostData;
};
