#pragma once

#include "analytics/buffer/AnaPersistListener.h"

#include <QList>

#include <mutex>

class Analytics;
class AnaUplaodNotifier;

// Decides from the upload strategy whether stored records should go out, at
// start-up and after every flush of the record buffer.
class AnaMixDataPersistDataMaxSizeChecker : public AnaPersistListener {
public:
    explicit AnaMixDataPersistDataMaxSizeChecker(Analytics* facade = nullptr);
    static AnaMixDataPersistDataMaxSizeChecker& sharedInstance();

    void setMaxSizeDataListener(AnaUplaodNotifier* listener);
    void onPersist() override;
    bool checkOnstartUploadWithStrategy();
    bool checkMaxSizeWithStrategy();
    bool checkMixSizeForUpload(int batchSize);
    // The record types counted for uploads under the current switches.
    QList<int> uploadTypes();

private:
    Analytics& facade();

    Analytics* m_facade;
    std::mutex m_mutex;
    AnaUplaodNotifier* m_listener = nullptr;
};
