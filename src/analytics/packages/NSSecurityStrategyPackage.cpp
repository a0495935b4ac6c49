#include "analytics/packages/NSSecurityStrategyPackage.h"

void NSSecurityStrategyPackage::initWithSecNuxModel(const strategy::SecurityStrategyPackage& model)
{
    encryKey = QString::fromStdString(model.encryKey);
    encryPublicKey = QString::fromStdString(model.encryPublicKey);
    encryAlgorithm = model.encryAlgorithm;
    zipAlgorithm = model.zipAlgorithm;
}
