#pragma once

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A small scripted HTTP/1.1 server on 127.0.0.1 (port chosen by the system)
// for transport tests. Each request takes the next scripted step, or the
// default step when the script is empty. Stalls end when the server stops or
// release() is called, and never last longer than the stall cap. At most
// 64 connections are served at once; every connection thread is joined.
class LoopbackHttpServer {
public:
    struct Request {
        QByteArray method;
        QByteArray target;
        QMap<QByteArray, QByteArray> headers;   // lower-case names
        QByteArray body;
    };

    struct Step {
        enum class Kind { Answer, Drop, Hang, HeadersThenStall, HalfBodyThenStall, Redirect, Flood, Drip };
        Kind kind = Kind::Answer;
        int status = 200;
        QByteArray body{};
        QByteArray location{};   // Redirect: path or absolute URL
        int delayMs = 0;         // wait before acting
        qint64 floodBytes = 0;   // Flood: the announced and streamed length
        int dripMs = 0;          // Drip: the pause before each byte
    };

    static Step answer(QByteArray body, int status = 200, int delayMs = 0);
    static Step serverError();
    static Step drop();
    static Step hang();
    static Step headersThenStall();
    static Step halfBodyThenStall(QByteArray body);
    static Step redirect(int status, QByteArray location);
    // Streams `bytes` zero bytes in chunks, never holding them, until the
    // client stops reading.
    static Step flood(qint64 bytes);
    // Announces `body` and sends it one byte per `everyMs`, within the
    // stall cap.
    static Step drip(QByteArray body, int everyMs);

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    quint16 port() const { return m_port; }
    QString url(const QString& path = QStringLiteral("/analytics/upload")) const;
    // A URL on a port where nothing listens.
    static QString refusedUrl();

    void enqueue(Step step);
    void setDefaultStep(Step step);
    void release();   // ends current and future stalls

    QList<Request> requests() const;
    int requestCount() const;
    bool waitForRequests(int count, int timeoutMs) const;
    // The most requests that waited for their answer at the same time.
    int maxOpenConnections() const { return m_maxOpen.load(); }
    // Bytes of flood bodies sent so far.
    qint64 floodSent() const { return m_floodSent.load(); }

private:
    void acceptLoop();
    void serve(int fd);
    bool readRequest(int fd, Request& request);
    Step nextStep();
    bool stall(int ms);   // true when released or stopping

    int m_listenFd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stopping{false};
    std::atomic<int> m_open{0};
    std::atomic<int> m_maxOpen{0};
    std::atomic<qint64> m_floodSent{0};
    int m_stallCapMs = 20000;
    bool m_released = false;
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    std::deque<Step> m_script;
    Step m_default;
    QList<Request> m_requests;
    std::thread m_acceptThread;
    struct Connection {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };
    std::vector<Connection> m_connections;   // accept thread only
};
