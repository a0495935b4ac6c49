#pragma once

#include <QString>

// PLACEHOLDER until the SDK utilities land: an error of the analytics SDK.
struct AnaError {
    QString domain;
    int code = 0;
    QString description;
};

inline const QString kAnalyticsErrorDomain = QStringLiteral("AnalyticsErrorDomain");
