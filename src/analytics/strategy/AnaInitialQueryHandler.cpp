#include "analytics/strategy/AnaInitialQueryHandler.h"

#include "analytics/facade/AnaModule.h"
#include "analytics/facade/Analytics.h"
#include "analytics/strategy/AnaServerStrategyProcesser.h"

void AnaInitialQueryHandler::finishWithResponse(const std::shared_ptr<NSResponsePackage>& response)
{
    if (!response)
        return;
    Analytics& facade = Analytics::getDefualtAnalytics();
    AnaServerStrategyProcesser::sharedInstance().procees(*response, facade);
    facade.setStatus(3);
    facade.markServerInitTime();
    if (!m_initUploadExecuted) {
        m_initUploadExecuted = true;
        for (const auto& module : facade.anaModules())
            module->uploadModuleHistoryData();
    }
}
