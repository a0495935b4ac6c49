#include "analytics/packages/NSUploadStrategyPackage.h"

void NSUploadStrategyPackage::initWithUpNuxModel(const strategy::UploadStrategyPackage& model)
{
    testCount = model.testCount;
    maxPackageSize = model.maxPackageSize;
    uploadStrategy = model.uploadStrategy;
    uploadServer = QString::fromStdString(model.uploadServer);
    moduleStrategy = std::map<int, bool>(model.moduleStrategy.begin(), model.moduleStrategy.end());
}
