#include "analytics/transport/AnaNetworkHandlerBase.h"

#include "analytics/AnaErrorPopulator.h"
#include "analytics/envelope/AnaNuxWrapHelper.h"
#include "analytics/traffic/AnaNetFlowRecorder.h"
#include "analytics/transport/AnaRequestDataPackage.h"
#include "analytics/transport/CommunicateInterface.h"

#include <chrono>

namespace {

std::mutex g_cancelMutex;   // one lock for every handler's cancel

}

AnaNetworkHandlerBase::AnaNetworkHandlerBase() = default;
AnaNetworkHandlerBase::~AnaNetworkHandlerBase() = default;

std::shared_ptr<CommunicateMethod> AnaNetworkHandlerBase::engine() const
{
    std::lock_guard lock(m_mutex);
    return m_engine;
}

void AnaNetworkHandlerBase::setEngine(std::shared_ptr<CommunicateMethod> engine)
{
    std::lock_guard lock(m_mutex);
    m_engine = std::move(engine);
}

bool AnaNetworkHandlerBase::waitUntilFinished(int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_finished.load(); });
}

bool AnaNetworkHandlerBase::isRetryable(const AnaError& error)
{
    return (error.domain == QLatin1String(AnaErrorPopulator::kDomain) && error.code == 11)
        || (error.domain == CommunicateInterface::kTimeOutDomain && error.code == -1005);
}

void AnaNetworkHandlerBase::start()
{
    if (isCancelled()) {
        finish();
        return;
    }
    m_executing = true;
    if (!prepare(m_request)) {
        finish();
        return;
    }
    for (;;) {
        std::unique_lock lock(m_mutex);
        if (m_state != State::WaitingRetry || isCancelled())
            break;
        const auto wait = std::chrono::duration<double>(m_request ? m_request->retryDuratuion : 0.0);
        m_cv.wait_for(lock, std::chrono::duration_cast<std::chrono::milliseconds>(wait),
                      [this] { return isCancelled(); });
        if (isCancelled())
            break;
        m_state = State::Running;
        lock.unlock();
        if (!retryRequest())
            break;
    }
    finish();
}

bool AnaNetworkHandlerBase::prepare(const std::shared_ptr<AnaRequestDataPackage>& request)
{
    if (!request) {
        finishWithResponse(nullptr);
        return false;
    }
    if (!engine()) {
        CommunicateInterface::Config config;
        config.servUrl = request->serverUrl;
        config.requestKey = request->reqKey;
        config.requestServant = request->reqServant;
        config.requestFunc = request->reqFunc;
        config.zipAlg = 2;
        config.encAlg = 1;
        config.encKey = AnaNuxWrapHelper::kRequestKey;
        config.encPubKey = AnaNuxWrapHelper::kResponseKey;
        setEngine(std::make_shared<CommunicateInterface>(config));
    }
    communicate();
    return true;
}

bool AnaNetworkHandlerBase::retryRequest()
{
    communicate();
    return true;
}

void AnaNetworkHandlerBase::communicate()
{
    auto current = engine();
    if (!current || !m_request || isCancelled())
        return;
    ++m_exchangeCount;
    current->communicateWithSeverAsync(m_request->requestPackage, this);
}

void AnaNetworkHandlerBase::succeedWithResponse(const std::shared_ptr<NSResponsePackage>& response)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_state == State::Done)
            return;
        m_state = State::Done;
    }
    if (!isCancelled() && response)
        finishWithResponse(response);
    report("FINISH");
}

void AnaNetworkHandlerBase::failWithError(const AnaError& error)
{
    const bool timeout = error.domain == CommunicateInterface::kTimeOutDomain && error.code == -1005;
    bool retry = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_state == State::Done)
            return;
        if (isRetryable(error) && m_request && m_request->needRetry
            && m_currentRetryCount.load() < m_request->retryCount && !isCancelled()) {
            ++m_currentRetryCount;
            m_state = State::WaitingRetry;
            retry = true;
        } else {
            m_state = State::Done;
        }
    }
    if (retry) {
        if (timeout)
            report("TIMEOUT");
        return;
    }
    if (!isCancelled())
        failWithResponse(error);
    report("FAIL");
}

void AnaNetworkHandlerBase::cancel()
{
    std::lock_guard cancelLock(g_cancelMutex);
    if (isCancelled())
        return;
    Operation::cancel();
    if (auto current = engine())
        current->abort();
    {
        std::lock_guard lock(m_mutex);
        m_cv.notify_all();
    }
    if (m_executing.load())
        doCancel();
    else
        finish();
}

void AnaNetworkHandlerBase::finish()
{
    bool first = false;
    {
        std::lock_guard lock(m_mutex);
        first = !m_ended;
        m_ended = true;
    }
    if (first)
        handlerDidEnd();
    std::lock_guard lock(m_mutex);
    m_state = State::Done;
    m_executing = false;
    m_finished = true;
    m_cv.notify_all();
}

void AnaNetworkHandlerBase::report(const char* status)
{
    auto interface = std::dynamic_pointer_cast<CommunicateInterface>(engine());
    if (!interface)
        return;
    AnaNetFlowRecorder::report(interface->servUrl(), QString::fromLatin1(status),
                               int(interface->finishTime() - interface->reqTime()), interface->isWiFi(),
                               interface->upFlow(), interface->downFlow(), interface->reqTime());
}
