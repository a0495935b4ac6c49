#pragma once

class NSResponsePackage;

// A recording module of the SDK; every message is optional.
class AnaModule {
public:
    virtual ~AnaModule() = default;
    virtual void checkAndEnable() {}
    virtual void executeFunction() {}
    virtual void executeLocalStrategyInit() {}
    virtual void executeServerStrategyInit(const NSResponsePackage& /*response*/) {}
    virtual void uploadModuleHistoryData() {}
};

// When set on the facade and answering false, uploads are dropped.
class AnaUploadConfirmer {
public:
    virtual ~AnaUploadConfirmer() = default;
    virtual bool confirmUpload() = 0;
};
