#include "analytics/transport/CurlExchange.h"

#include <QList>

#include <curl/curl.h>

#include <algorithm>
#include <mutex>

namespace {

struct Transfer {
    CurlExchange::Result* result = nullptr;
    int* counter = nullptr;
    int* allowance = nullptr;
    int steadyAllowance = 0;
    qsizetype maxBody = 0;
    long lastStatus = 0;
};

bool isRedirectStatus(long status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

size_t onHeader(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t length = size * count;
    const QByteArray line(data, int(length));
    if (line.startsWith("HTTP/")) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        t->lastStatus = parts.size() > 1 ? parts.at(1).toLong() : 0;
    } else if (line == "\r\n" || line == "\n") {
        // End of one response's headers: only a final answer counts.
        if (t->lastStatus >= 200 && !isRedirectStatus(t->lastStatus)) {
            t->result->responseReceived = true;
            t->result->httpStatus = t->lastStatus;
            t->result->downFlow = 66;
            *t->counter = 0;
            *t->allowance = t->steadyAllowance;
        }
    }
    return length;
}

size_t onData(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<Transfer*>(user);
    const size_t length = size * count;
    *t->counter = 0;
    *t->allowance = t->steadyAllowance;
    QByteArray& body = t->result->body;
    const qsizetype needed = body.size() + qsizetype(length);
    if (needed > t->maxBody) {
        t->result->bodyTooLarge = true;
        return 0;   // curl stops the transfer with a write error
    }
    // Grows as append would, but never beyond the cap.
    if (needed > body.capacity())
        body.reserve(std::min(std::max(needed, 2 * body.capacity()), t->maxBody));
    body.append(data, qsizetype(length));
    t->result->downFlow += int(length);
    return length;
}

}

void CurlExchange::setUpGlobally()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

CurlExchange::CurlExchange()
{
    setUpGlobally();
    m_multi = curl_multi_init();
}

CurlExchange::~CurlExchange()
{
    curl_multi_cleanup(static_cast<CURLM*>(m_multi));
}

void CurlExchange::wake()
{
    std::lock_guard lock(m_mutex);
    if (m_multi)
        curl_multi_wakeup(static_cast<CURLM*>(m_multi));
}

CurlExchange::Result CurlExchange::post(const QString& url, const QByteArray& body, const Limits& limits,
                                        const std::atomic<bool>* abortFlag)
{
    return run(url, &body, limits, abortFlag);
}

CurlExchange::Result CurlExchange::get(const QString& url, const Limits& limits, const std::atomic<bool>* abortFlag)
{
    return run(url, nullptr, limits, abortFlag);
}

CurlExchange::Result CurlExchange::run(const QString& url, const QByteArray* body, const Limits& limits,
                                       const std::atomic<bool>* abortFlag)
{
    Result result;
    result.effectiveUrl = url;
    auto* multi = static_cast<CURLM*>(m_multi);
    CURL* easy = curl_easy_init();
    if (!multi || !easy) {
        if (easy)
            curl_easy_cleanup(easy);
        result.ending = Ending::NotCreated;
        return result;
    }

    int counter = 0;
    int allowance = limits.allowanceBeforeResponse;
    Transfer transfer{&result, &counter, &allowance, limits.allowance, limits.maxBodyBytes, 0};
    char errorText[CURL_ERROR_SIZE] = {0};
    const QByteArray urlBytes = url.toUtf8();

    curl_slist* headers = curl_slist_append(nullptr, "Expect:");
    bool set = curl_easy_setopt(easy, CURLOPT_URL, urlBytes.constData()) == CURLE_OK;
    if (body) {
        set = set && curl_easy_setopt(easy, CURLOPT_POST, 1L) == CURLE_OK
            && curl_easy_setopt(easy, CURLOPT_POSTFIELDS, body->constData()) == CURLE_OK
            && curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, curl_off_t(body->size())) == CURLE_OK
            && curl_easy_setopt(easy, CURLOPT_POSTREDIR, long(CURL_REDIR_POST_ALL)) == CURLE_OK;
    }
    set = set && curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_MAXREDIRS, long(limits.maxRedirects)) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_NOPROXY, "localhost,127.0.0.1,::1") == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT, 15L) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &onHeader) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &onData) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer) == CURLE_OK
        && curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText) == CURLE_OK
        && curl_multi_add_handle(multi, easy) == CURLM_OK;
    if (!set) {
        curl_easy_cleanup(easy);
        curl_slist_free_all(headers);
        result.ending = Ending::NotCreated;
        return result;
    }

    using Steady = std::chrono::steady_clock;
    const auto deadline = Steady::now() + limits.deadline;
    auto nextTick = Steady::now() + limits.tickLength;
    bool done = false;
    CURLcode code = CURLE_OK;
    while (!done) {
        if (abortFlag && abortFlag->load()) {
            result.ending = Ending::Cancelled;
            break;
        }
        int running = 0;
        curl_multi_perform(multi, &running);
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
            if (message->msg == CURLMSG_DONE) {
                done = true;
                code = message->data.result;
            }
        }
        if (done)
            break;
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(std::min(nextTick, deadline)
                                                                                - Steady::now());
        curl_multi_poll(multi, nullptr, 0, int(std::max<long long>(0, wait.count())), nullptr);
        if (Steady::now() >= deadline) {
            result.ending = Ending::TimedOut;
            result.deadlinePassed = true;
            break;
        }
        bool timedOut = false;
        while (Steady::now() >= nextTick) {
            if (counter >= allowance) {
                result.timeoutTick = counter + 1;
                timedOut = true;
                break;
            }
            ++counter;
            nextTick += limits.tickLength;
        }
        if (timedOut) {
            result.ending = Ending::TimedOut;
            break;
        }
    }

    char* effective = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
        result.effectiveUrl = QString::fromUtf8(effective);
    if (done) {
        if (code == CURLE_OK) {
            result.ending = Ending::Finished;
        } else {
            result.ending = Ending::Failed;
            result.curlCode = int(code);
            result.curlMessage = result.bodyTooLarge
                ? QStringLiteral("response body larger than %1 bytes").arg(limits.maxBodyBytes)
                : QString::fromUtf8(errorText[0] ? errorText : curl_easy_strerror(code));
        }
    }
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_slist_free_all(headers);
    return result;
}
