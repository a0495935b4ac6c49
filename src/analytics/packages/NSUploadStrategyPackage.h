#pragma once

#include "analytics/packages/AnaPackageObject.h"
#include "analytics/packages/UploadStrategyPackage.h"

#include <QString>

#include <map>
#include <optional>

// The object form of an upload strategy answer. moduleStrategy is absent
// (nullopt) only for objects made by hand; from the wire it is always there.
class NSUploadStrategyPackage : public AnaPackageObject {
public:
    int testCount = 0;
    int maxPackageSize = 0;
    int uploadStrategy = 0;
    QString uploadServer;
    std::optional<std::map<int, bool>> moduleStrategy;

    void initWithUpNuxModel(const strategy::UploadStrategyPackage& model);
};
