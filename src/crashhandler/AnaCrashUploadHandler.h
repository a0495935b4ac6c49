#pragma once

#include "analytics/transport/AnalyticsNetwokHandler.h"

class CrashUploader;

// Takes the answer of a queued crash upload and tells the delegate.
class AnaCrashUploadHandler : public AnalyticsNetwokHandler {
public:
    static constexpr const char* kFailText = "unknown err";

    explicit AnaCrashUploadHandler(CrashUploader* uploader) : m_uploader(uploader) {}

protected:
    void finishWithResponse(const std::shared_ptr<NSResponsePackage>& response) override;
    void failWithResponse(const AnaError& error) override;

private:
    CrashUploader* m_uploader;
};
