#pragma once

#include "analytics/transport/AnaNetworkHandlerBase.h"

// A handler that honours the facade's upload confirmer and takes the
// envelope's transformations and keys from the facade's current strategy.
class AnalyticsNetwokHandler : public AnaNetworkHandlerBase {
protected:
    bool prepare(const std::shared_ptr<AnaRequestDataPackage>& request) override;
    bool retryRequest() override;
    virtual void onRequestCancel() {}

private:
    bool confirmed();
};
