#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>

namespace {

constexpr int kMaxConnections = 64;
constexpr qsizetype kMaxRequestBytes = 16 * 1024 * 1024;

bool sendAll(int fd, const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.constData() + sent, size_t(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

QByteArray statusText(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

QByteArray head(int status, qsizetype contentLength, const QByteArray& extra = {})
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + statusText(status) + "\r\n"
        + "Content-Length: " + QByteArray::number(contentLength) + "\r\n"
        + "Connection: close\r\n" + extra + "\r\n";
}

int bindLoopback(quint16& port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int yes = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(address.sin_port);
    return fd;
}

}

using Step = LoopbackHttpServer::Step;

Step LoopbackHttpServer::answer(QByteArray body, int status, int delayMs)
{
    return {.status = status, .body = std::move(body), .delayMs = delayMs};
}

Step LoopbackHttpServer::serverError() { return answer("<html><body>Internal Server Error</body></html>", 500); }
Step LoopbackHttpServer::drop() { return {.kind = Step::Kind::Drop}; }
Step LoopbackHttpServer::hang() { return {.kind = Step::Kind::Hang}; }
Step LoopbackHttpServer::headersThenStall()
{
    return {.kind = Step::Kind::HeadersThenStall, .body = QByteArray(64, 'x')};
}


Step LoopbackHttpServer::halfBodyThenStall(QByteArray body)
{
    return {.kind = Step::Kind::HalfBodyThenStall, .body = std::move(body)};
}

Step LoopbackHttpServer::redirect(int status, QByteArray location)
{
    return {.kind = Step::Kind::Redirect, .status = status, .location = std::move(location)};
}

Step LoopbackHttpServer::flood(qint64 bytes)
{
    return {.kind = Step::Kind::Flood, .floodBytes = bytes};
}

Step LoopbackHttpServer::drip(QByteArray body, int everyMs)
{
    return {.kind = Step::Kind::Drip, .body = std::move(body), .dripMs = everyMs};
}

LoopbackHttpServer::LoopbackHttpServer()
{
    m_listenFd = bindLoopback(m_port);
    if (m_listenFd >= 0 && ::listen(m_listenFd, 16) == 0)
        m_acceptThread = std::thread([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    m_stopping = true;
    m_cv.notify_all();
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    for (auto& connection : m_connections)
        connection.thread.join();
    if (m_listenFd >= 0)
        ::close(m_listenFd);
}

QString LoopbackHttpServer::url(const QString& path) const
{
    return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path);
}

QString LoopbackHttpServer::refusedUrl()
{
    quint16 port = 0;
    const int fd = bindLoopback(port);
    if (fd >= 0)
        ::close(fd);
    return QStringLiteral("http://127.0.0.1:%1/analytics/upload").arg(port);
}

void LoopbackHttpServer::enqueue(Step step)
{
    std::lock_guard lock(m_mutex);
    m_script.push_back(std::move(step));
}

void LoopbackHttpServer::setDefaultStep(Step step)
{
    std::lock_guard lock(m_mutex);
    m_default = std::move(step);
}

void LoopbackHttpServer::release()
{
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
    }
    m_cv.notify_all();
}

QList<LoopbackHttpServer::Request> LoopbackHttpServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

int LoopbackHttpServer::requestCount() const
{
    std::lock_guard lock(m_mutex);
    return int(m_requests.size());
}

bool LoopbackHttpServer::waitForRequests(int count, int timeoutMs) const
{
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                         [&] { return m_requests.size() >= count; });
}

void LoopbackHttpServer::acceptLoop()
{
    while (!m_stopping) {
        pollfd p{m_listenFd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        for (auto it = m_connections.begin(); it != m_connections.end();) {
            if (it->done->load()) {
                it->thread.join();
                it = m_connections.erase(it);
            } else {
                ++it;
            }
        }
        if (m_connections.size() >= size_t(kMaxConnections)) {
            ::close(fd);
            continue;
        }
        auto done = std::make_shared<std::atomic<bool>>(false);
        m_connections.push_back({std::thread([this, fd, done] {
                                     serve(fd);
                                     *done = true;
                                 }),
                                 done});
    }
}

LoopbackHttpServer::Step LoopbackHttpServer::nextStep()
{
    std::lock_guard lock(m_mutex);
    if (m_script.empty())
        return m_default;
    Step step = std::move(m_script.front());
    m_script.pop_front();
    return step;
}

bool LoopbackHttpServer::stall(int ms)
{
    std::unique_lock lock(m_mutex);
    return m_cv.wait_for(lock, std::chrono::milliseconds(ms),
                         [this] { return m_released || m_stopping.load(); });
}

bool LoopbackHttpServer::readRequest(int fd, Request& request)
{
    QByteArray buffer;
    qsizetype headerEnd = -1;
    qsizetype contentLength = 0;
    char chunk[8192];
    for (;;) {
        if (headerEnd < 0) {
            headerEnd = buffer.indexOf("\r\n\r\n");
            if (headerEnd >= 0) {
                const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
                const QList<QByteArray> first = lines.value(0).trimmed().split(' ');
                request.method = first.value(0);
                request.target = first.value(1);
                for (qsizetype i = 1; i < lines.size(); ++i) {
                    const qsizetype colon = lines[i].indexOf(':');
                    if (colon > 0)
                        request.headers.insert(lines[i].left(colon).trimmed().toLower(),
                                               lines[i].mid(colon + 1).trimmed());
                }
                contentLength = request.headers.value("content-length").toLongLong();
                if (contentLength < 0 || contentLength > kMaxRequestBytes)
                    return false;
            }
        }
        if (headerEnd >= 0 && buffer.size() - headerEnd - 4 >= contentLength) {
            request.body = buffer.mid(headerEnd + 4, contentLength);
            return true;
        }
        if (m_stopping)
            return false;
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0)
            continue;
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0 || buffer.size() > kMaxRequestBytes)
            return false;
        buffer.append(chunk, n);
    }
}

void LoopbackHttpServer::serve(int fd)
{
    Request request;
    if (readRequest(fd, request)) {
        // Counted from the request's arrival until the answer starts: a
        // client cannot be done (and start another request) before that.
        const int open = ++m_open;
        int seen = m_maxOpen.load();
        while (open > seen && !m_maxOpen.compare_exchange_weak(seen, open)) {
        }
        {
            std::lock_guard lock(m_mutex);
            m_requests.append(request);
        }
        m_cv.notify_all();
        const Step step = nextStep();
        if (step.delayMs > 0)
            stall(step.delayMs);
        --m_open;
        switch (step.kind) {
        case Step::Kind::Answer:
            sendAll(fd, head(step.status, step.body.size()) + step.body);
            break;
        case Step::Kind::Drop:
            break;
        case Step::Kind::Hang:
            stall(m_stallCapMs);
            break;
        case Step::Kind::HeadersThenStall:
            if (sendAll(fd, head(step.status, step.body.size())))
                stall(m_stallCapMs);
            break;
        case Step::Kind::HalfBodyThenStall:
            if (sendAll(fd, head(step.status, step.body.size()) + step.body.left(step.body.size() / 2)))
                stall(m_stallCapMs);
            break;
        case Step::Kind::Redirect:
            sendAll(fd, head(step.status, 0, "Location: " + step.location + "\r\n"));
            break;
        case Step::Kind::Drip: {
            bool open = sendAll(fd, head(step.status, step.body.size()));
            for (qsizetype i = 0; open && i < step.body.size() && (i + 1) * step.dripMs < m_stallCapMs; ++i)
                open = !stall(step.dripMs) && sendAll(fd, step.body.mid(i, 1));
            break;
        }
        case Step::Kind::Flood: {
            const QByteArray chunk(64 * 1024, '\0');
            bool open = sendAll(fd, head(step.status, step.floodBytes));
            for (qint64 left = step.floodBytes; open && left > 0 && !m_stopping; left -= chunk.size()) {
                open = sendAll(fd, left < chunk.size() ? chunk.left(left) : chunk);
                if (open)
                    m_floodSent += std::min<qint64>(left, chunk.size());
            }
            break;
        }
        }
    }
    ::shutdown(fd, SHUT_RDWR);
    ::close(fd);
}
