#include "platform/photolib/FileDecodeGate.h"

#include <QScopeGuard>

QImage FileDecodeGate::run(const QString& file, const QString& key, const std::function<QImage()>& make)
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (const std::shared_ptr<Flight> flight = m_flights.value(key)) {
            m_ended.wait(lock, [&] { return flight->done; });
            return flight->image;
        }
        if (!m_busyFiles.contains(file))
            break;
        m_ended.wait(lock);
    }
    const auto flight = std::make_shared<Flight>();
    m_flights.insert(key, flight);
    m_busyFiles.insert(file);
    lock.unlock();

    // The waiting requests are let go however make() ends (a throw included).
    const auto land = qScopeGuard([&] {
        std::lock_guard relock(m_mutex);
        flight->done = true;
        m_flights.remove(key);
        m_busyFiles.remove(file);
        m_ended.notify_all();
    });
    flight->image = make();   // read by the others only once done is set
    return flight->image;
}
