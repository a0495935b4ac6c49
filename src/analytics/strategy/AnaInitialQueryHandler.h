#pragma once

#include "analytics/transport/AnalyticsNetwokHandler.h"

// Takes the answer to the strategy query.
class AnaInitialQueryHandler : public AnalyticsNetwokHandler {
public:
    bool initUploadExecuted() const { return m_initUploadExecuted; }

protected:
    void finishWithResponse(const std::shared_ptr<NSResponsePackage>& response) override;

private:
    bool m_initUploadExecuted = false;
};
