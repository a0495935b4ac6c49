#pragma once

#include "analytics/packages/AnaPackageObject.h"
#include "analytics/packages/SecurityStrategyPackage.h"

#include <QString>

// The object form of a security strategy answer.
class NSSecurityStrategyPackage : public AnaPackageObject {
public:
    QString encryKey;
    QString encryPublicKey;
    int encryAlgorithm = 0;
    int zipAlgorithm = 0;

    void initWithSecNuxModel(const strategy::SecurityStrategyPackage& model);
    // Reads nothing: a security strategy is filled by initWithSecNuxModel.
    void readData(analyticsrov::KelInputStream& /*is*/, AnaPackageObject* /*object*/) const {}
};
