#pragma once

#include "analytics/AnaError.h"

#include <memory>

class NSResponsePackage;

// Receives the one outcome of an exchange.
class AnaCommunicationRequestDelegate {
public:
    virtual ~AnaCommunicationRequestDelegate() = default;
    virtual void failWithError(const AnaError& /*error*/) {}
    virtual void succeedWithResponse(const std::shared_ptr<NSResponsePackage>& /*response*/) {}
};
