#pragma once

#include "analytics/OperationQueue.h"
#include "analytics/transport/AnaCommunicationRequestDelegate.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>

class AnaRequestDataPackage;
class CommunicateMethod;

// Drives one request to its end on a worker of the handler queue: an
// exchange, then on a retryable failure a (cancellable) wait and the next
// exchange through the same engine. Subclasses handle the outcome in
// finishWithResponse / failWithResponse; at most one of them is called, and
// exactly one unless the handler was cancelled.
class AnaNetworkHandlerBase : public Operation, public AnaCommunicationRequestDelegate {
public:
    AnaNetworkHandlerBase();
    ~AnaNetworkHandlerBase() override;

    std::shared_ptr<AnaRequestDataPackage> request() const { return m_request; }
    void setRequest(std::shared_ptr<AnaRequestDataPackage> request) { m_request = std::move(request); }
    std::shared_ptr<CommunicateMethod> engine() const;
    void setEngine(std::shared_ptr<CommunicateMethod> engine);

    int currentRetryCount() const { return m_currentRetryCount.load(); }
    int exchangeCount() const { return m_exchangeCount.load(); }
    bool isExecuting() const { return m_executing.load(); }
    bool isFinished() const { return m_finished.load(); }
    // Blocks until the handler has finished (or the time passed).
    bool waitUntilFinished(int timeoutMs) const;

    void start() override;
    void cancel() override;

    void failWithError(const AnaError& error) override;
    void succeedWithResponse(const std::shared_ptr<NSResponsePackage>& response) override;

protected:
    // Without an engine, builds one from the request with the fixed envelope
    // settings; then runs the first exchange. Returns false when the request
    // was dropped before any exchange.
    virtual bool prepare(const std::shared_ptr<AnaRequestDataPackage>& request);
    virtual bool retryRequest();
    virtual void finishWithResponse(const std::shared_ptr<NSResponsePackage>& /*response*/) {}
    virtual void failWithResponse(const AnaError& /*error*/) {}
    virtual void doCancel() {}
    // Called once when the handler ends, however it ends (also when it was
    // cancelled before it started), before it reports itself finished.
    virtual void handlerDidEnd() {}

    // Runs one exchange of the request's package through the engine.
    void communicate();
    static bool isRetryable(const AnaError& error);

private:
    enum class State { Running, WaitingRetry, Done };
    void finish();
    void report(const char* status);

    std::shared_ptr<AnaRequestDataPackage> m_request;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    std::shared_ptr<CommunicateMethod> m_engine;
    State m_state = State::Running;
    std::atomic<int> m_currentRetryCount{0};
    std::atomic<int> m_exchangeCount{0};
    std::atomic<bool> m_executing{false};
    std::atomic<bool> m_finished{false};
    bool m_ended = false;
};
