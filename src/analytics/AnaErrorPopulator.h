#pragma once

#include "analytics/AnaError.h"

#include <QString>

class AnaErrorPopulator {
public:
    static const char* const kDomain;   // "AnalyticsErrorDomain"

    // Fills *error with the domain, code and description; with no error
    // out-pointer does nothing and returns false.
    static bool populateError(AnaError* error, int errnoVal, const QString& description);
};
