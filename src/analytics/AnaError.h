#pragma once

#include <QString>

// The SDK's error object: a domain, a code and a description.
struct AnaError {
    QString domain;
    int code = 0;
    QString description;
};

// The codes of "AnalyticsErrorDomain".
enum AnaErrorCode {
    AnaErrorDecodeFailed = 2,       // a stored row failed to decipher or decode
    AnaErrorNoDatabase = 3,         // no connection, the open failed, or no type
    AnaErrorStatementFailed = 4,    // an SQL statement or the enciphering failed
    AnaErrorBadArgument = 5,        // a bad argument or a missing cipher or class
    AnaErrorInvalidCall = 8,        // upload data asked for again before the result
    AnaErrorNetworkUnavailable = 11,
    AnaErrorEmptyResponse = 13,
    AnaErrorNoServerUrl = 15,
};
