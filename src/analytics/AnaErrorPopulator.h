#pragma once

#include "analytics/AnaError.h"

#include <QString>

class AnaErrorPopulator {
public:
    // Fills *error with the domain (kAnalyticsErrorDomain), code and description; with no error
    // out-pointer does nothing and returns false.
    static bool populateError(AnaError* error, int errnoVal, const QString& description);
};
