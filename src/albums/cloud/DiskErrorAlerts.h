#pragma once

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QString>

class DiskManager;
class PavAlertView;

// Shows the cloud-disk facade's error messages as alerts with one "确定"
// button, at most one alert per text at a time (the same failure answered
// twice in a row asks once). A text may come up again once its alert is
// gone, however it went (answered, or dismissed when the application went to
// the background). Main thread only. The shell installs the
// shared instance as the facade's error sink at launch; the facade itself
// draws nothing.
class DiskErrorAlerts {
public:
    static DiskErrorAlerts& shared();
    // Makes the shared instance the facade's error sink.
    static void installOn(DiskManager& manager);

    void show(const QString& message);
    // The texts whose alert is on screen or waiting for its turn.
    QSet<QString> shown() const;

private:
    QHash<QString, QPointer<PavAlertView>> m_alerts;
};
