#include "analytics/AnaErrorPopulator.h"

const char* const AnaErrorPopulator::kDomain = "AnalyticsErrorDomain";

bool AnaErrorPopulator::populateError(AnaError* error, int errnoVal, const QString& description)
{
    if (!error)
        return false;
    error->domain = QString::fromLatin1(kDomain);
    error->code = errnoVal;
    error->description = description;
    return true;
}
