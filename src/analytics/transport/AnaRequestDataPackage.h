#pragma once

#include <QString>

#include <memory>

class NSRequestPackage;

// One request for the upload transport: the package, its priority and
// handler, where it goes, the envelope names and the retry rules.
class AnaRequestDataPackage {
public:
    AnaRequestDataPackage();

    static std::shared_ptr<AnaRequestDataPackage> initWithRequestPackage(
        std::shared_ptr<NSRequestPackage> package, int priority, const QString& handlerKey,
        const QString& serverUrl);
    static std::shared_ptr<AnaRequestDataPackage> setNuxPackageKey(const QString& key, const QString& servant,
                                                                   const QString& func);

    std::shared_ptr<NSRequestPackage> requestPackage;
    int priority = 1;
    QString handlerKey;
    bool needRetry = false;
    int retryCount = 2;
    double retryDuratuion = 1.0;   // seconds
    QString serverUrl;
    QString reqKey = QStringLiteral("detail");
    QString reqServant = QStringLiteral("upload");
    QString reqFunc = QStringLiteral("access");
};
