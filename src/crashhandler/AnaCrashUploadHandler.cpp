#include "crashhandler/AnaCrashUploadHandler.h"

#include "analytics/packages/NSResponsePackage.h"
#include "analytics/transport/AnaRequestDataPackage.h"
#include "crashhandler/CrashUploadResultDelegete.h"
#include "crashhandler/CrashUploader.h"

void AnaCrashUploadHandler::finishWithResponse(const std::shared_ptr<NSResponsePackage>& response)
{
    if (!response || !m_uploader)
        return;
    const auto delegate = m_uploader->delegate();
    if (response->result != 0) {
        if (delegate)
            delegate->onUploadCrashFail(kFailText);
        return;
    }
    if (request() && request()->requestPackage)
        m_uploader->uploadSucceeded(*request()->requestPackage);
    if (delegate)
        delegate->onUploadCrashSuccess();
}

void AnaCrashUploadHandler::failWithResponse(const AnaError& /*error*/)
{
    if (!m_uploader)
        return;
    if (const auto delegate = m_uploader->delegate())
        delegate->onUploadCrashFail(kFailText);
}
