#pragma once

#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// One decode per file at a time. A request for an image (its key) that
// another thread is making waits for that one and shares its result, a null
// one included; a request for another image of the same file waits until
// the file's decode under way has ended. Decodes of different files run side
// by side. Safe from any thread.
class FileDecodeGate {
public:
    QImage run(const QString& file, const QString& key, const std::function<QImage()>& make);

private:
    struct Flight {
        bool done = false;
        QImage image;
    };

    std::mutex m_mutex;
    std::condition_variable m_ended;
    QHash<QString, std::shared_ptr<Flight>> m_flights;   // key -> the decode making it
    QSet<QString> m_busyFiles;
};
