#include "analytics/mixupload/AnaMixDataUploadHander.h"

#include "analytics/mixupload/AnaMixDataUploader.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/packages/NSResponsePackage.h"
#include "analytics/strategy/AnaServerStrategyProcesser.h"
#include "analytics/transport/AnaRequestDataPackage.h"

void AnaMixDataUploadHander::finishWithResponse(const std::shared_ptr<NSResponsePackage>& response)
{
    AnaMixDataUploader& uploader = AnaMixDataUploader::sharedInstance();
    if (response) {
        if (response->result == 0 && request() && request()->requestPackage)
            uploader.deleteUploadData(*request()->requestPackage);
        AnaServerStrategyProcesser::sharedInstance().procees(*response);
    }
}

void AnaMixDataUploadHander::handlerDidEnd()
{
    AnaMixDataUploader::sharedInstance().setIsUploading(false);
}
