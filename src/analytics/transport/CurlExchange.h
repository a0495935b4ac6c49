#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <mutex>

// One HTTP POST driven by libcurl on the calling thread, with the transport's
// tick-counted time-out: a tick comes every tickLength; when the counter has
// reached the allowance on a tick, the exchange is abandoned, otherwise the
// counter grows. The final response and every chunk of data reset the counter
// (the allowance before the first response is the longer one). Redirects keep
// the method and the body; the URL reached last is reported. A reply body is
// never held past maxBodyBytes: the transfer stops there and fails. However
// the data comes, the whole exchange ends by its deadline: a server that
// sends a byte now and then resets the tick counter for ever, not this.
class CurlExchange {
public:
    // NotCreated: the request could not be set up (no handle, or curl refused
    // one of its options, e.g. a URL over its input limit).
    enum class Ending { Finished, TimedOut, Failed, Cancelled, NotCreated };

    static constexpr qsizetype kMaxReplyBytes = 4 * 1024 * 1024;
    static constexpr std::chrono::milliseconds kDeadline = std::chrono::minutes(3);

    struct Result {
        Ending ending = Ending::Failed;
        int curlCode = 0;            // CURLcode for Failed
        QString curlMessage;
        long httpStatus = 0;
        bool responseReceived = false;
        QByteArray body;
        QString effectiveUrl;
        int timeoutTick = 0;         // the tick on which the time-out came
        bool deadlinePassed = false; // TimedOut by the deadline, not a tick
        int downFlow = 0;            // 66 at the response plus every chunk
        bool bodyTooLarge = false;   // Failed because the body passed the cap
    };

    struct Limits {
        int allowanceBeforeResponse = 7;
        int allowance = 5;
        std::chrono::milliseconds tickLength{1000};
        int maxRedirects = 5;
        qsizetype maxBodyBytes = kMaxReplyBytes;
        std::chrono::milliseconds deadline = kDeadline;   // from the start of the exchange
    };

    // libcurl's global set-up (and the TLS library's under it), once per
    // process. Not safe beside other threads: the program runs it on its
    // main thread before it starts any; an exchange made without it runs it.
    static void setUpGlobally();

    CurlExchange();
    ~CurlExchange();
    CurlExchange(const CurlExchange&) = delete;
    CurlExchange& operator=(const CurlExchange&) = delete;

    // Blocks until the exchange ends. abortFlag (may be null) is read while
    // it runs; wake() makes a running exchange look at it at once.
    Result post(const QString& url, const QByteArray& body, const Limits& limits,
                const std::atomic<bool>* abortFlag = nullptr);
    Result get(const QString& url, const Limits& limits, const std::atomic<bool>* abortFlag = nullptr);
    // Thread-safe.
    void wake();

private:
    // body null: a GET.
    Result run(const QString& url, const QByteArray* body, const Limits& limits,
               const std::atomic<bool>* abortFlag);

    void* m_multi = nullptr;
    std::mutex m_mutex;
};
