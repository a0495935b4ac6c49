#pragma once

#include "analytics/packages/AnaPackageObject.h"
#include "analytics/packages/ResponsePackage.h"

#include <QString>

#include <memory>

// What the envelope parser returns: the reply's fields with its body turned
// into an object chosen by the command (7 security strategy, 8 upload
// strategy, 10 mix package, others by the register; null when none fits).
class NSResponsePackage {
public:
    char result = 0;
    int cmd = 0;
    std::shared_ptr<AnaPackageObject> sBuffer;
    QString gateWayIp;
    char encryType = 0;
    char zipType = 0;
    qint64 serverTime = 0;

    // A strategy map (command 10) names a few record types; more entries
    // than this fail to decode before any is built.
    static constexpr size_t kMaxStrategyEntries = 64;

    // Throws KelDecodeException when the body does not decode.
    static std::shared_ptr<NSResponsePackage> initWithNuxModel(const common::ResponsePackage& model);

    static void setAllStrategy(const common::ResponsePackage& model, NSResponsePackage& response);
    static void setSecurityStrategy(const common::ResponsePackage& model, NSResponsePackage& response);
    static void setUploadStrategy(const common::ResponsePackage& model, NSResponsePackage& response);
};
