#pragma once

#include "analytics/transport/AnalyticsNetwokHandler.h"

// Takes the answer to a mixed-data upload: on result 0 the batch's records
// are deleted and the answer's strategy is applied. However the handler ends
// (answer, failure, cancel, the confirmer's no), the uploader is free again.
class AnaMixDataUploadHander : public AnalyticsNetwokHandler {
protected:
    void finishWithResponse(const std::shared_ptr<NSResponsePackage>& response) override;
    void handlerDidEnd() override;
};
