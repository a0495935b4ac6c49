#pragma once

#include <QSet>
#include <QString>

#include <memory>

class DiskManager;

// Shows the cloud-disk facade's error messages as alerts with one "确定"
// button, at most one alert per text at a time (the same failure answered
// twice in a row asks once). Main thread only. The shell installs the
// shared instance as the facade's error sink at launch; the facade itself
// draws nothing.
class DiskErrorAlerts {
public:
    static DiskErrorAlerts& shared();
    // Makes the shared instance the facade's error sink.
    static void installOn(DiskManager& manager);

    void show(const QString& message);
    // The texts whose alert is on screen.
    QSet<QString> shown() const { return m_texts; }

private:
    QSet<QString> m_texts;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};
