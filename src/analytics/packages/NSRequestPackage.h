#pragma once

#include "analytics/packages/AnaPackageObject.h"
#include "analytics/packages/RequestPackage.h"

#include <QString>

#include <memory>

// What the SDK fills and hands to the envelope builder. A null QString is
// an unset text.
class NSRequestPackage {
public:
    char platformId = 0;
    QString productId;
    QString productVersion;
    QString sdkId;
    QString sdkVersion;
    int cmd = 0;
    std::shared_ptr<AnaNSObjTransToKelBufferProtocol> sBuffer;
    QString hardwareOs;
    QString qua;
    char encryType = 0;
    char zipType = 0;
    QString appVerBuild;
    QString reserved;

    // platformId 2 and the six given values.
    static std::shared_ptr<NSRequestPackage> initWithData(
        const QString& productId, const QString& productVersion, const QString& sdkId,
        const QString& sdkVersion, int cmd, std::shared_ptr<AnaNSObjTransToKelBufferProtocol> sBuffer);
    // Same, with the identity texts of the SDK model copied when set.
    static std::shared_ptr<NSRequestPackage> fromModel(
        int cmd, std::shared_ptr<AnaNSObjTransToKelBufferProtocol> sBuffer);

    void createNuxModel(common::RequestPackage& model) const;
};
