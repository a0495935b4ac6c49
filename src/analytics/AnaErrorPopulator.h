#pragma once

// PLACEHOLDER until the SDK utilities land.
#include "analytics/AnaError.h"

class AnaErrorPopulator {
public:
    static bool populateError(AnaError* error, int code, const QString& description)
    {
        if (!error)
            return false;
        error->domain = kAnalyticsErrorDomain;
        error->code = code;
        error->description = description;
        return true;
    }
};
