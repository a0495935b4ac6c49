#include "analytics/transport/CommunicateInterface.h"

#include "analytics/AnaErrorPopulator.h"
#include "analytics/AnaModel.h"
#include "analytics/envelope/AnaNuxWrapHelper.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/packages/NSResponsePackage.h"
#include "analytics/transport/AnaCommunicationRequestDelegate.h"
#include "analytics/transport/AnaNetworkState.h"

#include <QDateTime>

namespace {

std::atomic<long long> g_tickMs{1000};
std::atomic<long long> g_deadlineMs{CurlExchange::kDeadline.count()};

double nowSeconds()
{
    return double(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

AnaError sdkError(int code, const QString& text)
{
    AnaError error;
    AnaErrorPopulator::populateError(&error, code, text);
    return error;
}

AnaError domainError(const QString& domain, int code, const QString& text = {})
{
    AnaError error;
    error.domain = domain;
    error.code = code;
    error.description = text;
    return error;
}

}

void CommunicateInterface::setTickLength(std::chrono::milliseconds tick)
{
    g_tickMs = tick.count() > 0 ? tick.count() : 1000;
}

std::chrono::milliseconds CommunicateInterface::tickLength()
{
    return std::chrono::milliseconds(g_tickMs.load());
}

CommunicateInterface::CommunicateInterface(Config config) : m_config(std::move(config))
{
    const int value = m_config.connectionTimeOut;
    if (AnaNetworkState::current().wlan)
        m_nTimeOut = value < 3 ? 5 : value / 2;
    else
        m_nTimeOut = value < 1 ? 10 : value;
}

void CommunicateInterface::setExchangeDeadline(std::chrono::milliseconds deadline)
{
    g_deadlineMs = deadline.count() > 0 ? deadline.count() : CurlExchange::kDeadline.count();
}

std::chrono::milliseconds CommunicateInterface::exchangeDeadline()
{
    return std::chrono::milliseconds(g_deadlineMs.load());
}

QString CommunicateInterface::servUrl() const
{
    std::lock_guard lock(m_mutex);
    return m_config.servUrl;
}

QByteArray CommunicateInterface::retryPostData() const
{
    std::lock_guard lock(m_mutex);
    return m_retryPostData;
}

void CommunicateInterface::abort()
{
    m_abort = true;
    m_exchange.wake();
}

void CommunicateInterface::communicateWithSeverAsync(const std::shared_ptr<NSRequestPackage>& package,
                                                     AnaCommunicationRequestDelegate* delegate)
{
    // Only the handler's own thread drives its engine; the flag keeps a
    // second caller from starting an exchange over a running one.
    if (m_running.exchange(true))
        return;
    std::shared_ptr<NSResponsePackage> response;
    AnaError error;
    bool ok = false;
    {
        std::lock_guard lock(m_mutex);
        m_cancelled = false;
        m_finish = false;
        m_lastTimeoutTick = 0;
        const AnaNetworkState network = AnaNetworkState::current();
        if (!network.available) {
            error = sdkError(11, "error network not avaliable");
        } else if (!package) {
            error = sdkError(5, "error request package is nil");
        } else {
            const AnaModel& model = AnaModel::getDefualtAnaModel();
            if (package->reserved.isNull())
                package->reserved = model.reserved();
            if (package->appVerBuild.isNull())
                package->appVerBuild = model.appVerbuild();
            const QByteArray body = AnaNuxWrapHelper().createReqData(
                *package, m_config.requestKey, m_config.requestServant, m_config.requestFunc, m_config.zipAlg,
                m_config.encAlg, m_config.encKey, &error);
            if (!body.isEmpty()) {
                m_retryPostData = body;
                if (m_config.servUrl.isEmpty()) {
                    error = sdkError(15, "error request server url is nil");
                } else {
                    m_upFlow = int(body.size()) + 430;
                    m_reqTime = nowSeconds();
                    m_isWiFi = !network.wwan;
                    CurlExchange::Limits limits;
                    limits.allowance = m_nTimeOut;
                    limits.allowanceBeforeResponse = int(m_nTimeOut * 1.5);
                    limits.tickLength = tickLength();
                    limits.deadline = exchangeDeadline();
                    const CurlExchange::Result result = m_exchange.post(m_config.servUrl, body, limits, &m_abort);
                    m_config.servUrl = result.effectiveUrl;
                    m_finishTime = nowSeconds();
                    m_downFlow = result.downFlow;
                    switch (result.ending) {
                    case CurlExchange::Ending::TimedOut:
                        m_cancelled = true;
                        m_lastTimeoutTick = result.timeoutTick;
                        error = domainError(kTimeOutDomain, -1005);
                        break;
                    case CurlExchange::Ending::Cancelled:
                        error = domainError(kNetworkDomain, -999, "request cancelled");
                        break;
                    case CurlExchange::Ending::Failed:
                        error = domainError(kCurlDomain, result.curlCode, result.curlMessage);
                        break;
                    case CurlExchange::Ending::NotCreated:
                        error = domainError(kNetworkDomain, 13);
                        break;
                    case CurlExchange::Ending::Finished:
                        if (result.body.isEmpty()) {
                            error = sdkError(13, "response data is nil");
                        } else {
                            response = AnaNuxWrapHelper().createRspData(result.body, m_config.requestKey,
                                                                        m_config.encPubKey, &error);
                            ok = response != nullptr;
                        }
                        break;
                    }
                }
            }
        }
        m_finish = true;
        m_running = false;
    }
    if (!delegate)
        return;
    if (ok)
        delegate->succeedWithResponse(response);
    else
        delegate->failWithError(error);
}
