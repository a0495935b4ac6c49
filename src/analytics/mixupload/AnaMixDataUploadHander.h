#pragma once

#include "analytics/transport/AnalyticsNetwokHandler.h"

// Takes the answer to a mixed-data upload: on result 0 the batch's records
// are deleted; the answer's strategy is applied; the uploader is free again.
class AnaMixDataUploadHander : public AnalyticsNetwokHandler {
protected:
    void finishWithResponse(const std::shared_ptr<NSResponsePackage>& response) override;
    void failWithResponse(const AnaError& error) override;
};
