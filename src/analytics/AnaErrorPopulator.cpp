#include "analytics/AnaErrorPopulator.h"

bool AnaErrorPopulator::populateError(AnaError* error, int errnoVal, const QString& description)
{
    if (!error)
        return false;
    error->domain = kAnalyticsErrorDomain;
    error->code = errnoVal;
    error->description = description;
    return true;
}
