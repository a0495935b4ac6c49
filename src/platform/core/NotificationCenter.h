#pragma once

#include <QMutex>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <map>
#include <memory>

class NotificationCenter;

// Keeps an observer registered; unregisters it when destroyed.
class ObserverToken {
public:
    ObserverToken() = default;
    ObserverToken(NotificationCenter* center, quint64 id) : m_center(center), m_id(id) {}
    ObserverToken(ObserverToken&& other) noexcept { *this = std::move(other); }
    ObserverToken& operator=(ObserverToken&& other) noexcept;
    ObserverToken(const ObserverToken&) = delete;
    ObserverToken& operator=(const ObserverToken&) = delete;
    ~ObserverToken() { reset(); }

    void reset();
    bool isActive() const { return m_center != nullptr; }

private:
    NotificationCenter* m_center = nullptr;
    quint64 m_id = 0;
};

// Named notifications delivered synchronously on the posting thread, in the
// order the observers registered. An observer may remove itself (or others)
// while a notification is delivered.
class NotificationCenter {
public:
    using Handler = std::function<void(const QVariantMap& userInfo)>;

    static NotificationCenter& defaultCenter();

    [[nodiscard]] ObserverToken addObserver(const QString& name, Handler handler);
    void post(const QString& name, const QVariantMap& userInfo = {});

private:
    friend class ObserverToken;
    void remove(quint64 id);

    struct Entry {
        QString name;
        std::shared_ptr<Handler> handler;
    };
    QMutex m_mutex;
    quint64 m_nextId = 1;
    std::map<quint64, Entry> m_entries;
};
