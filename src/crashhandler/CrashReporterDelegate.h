#pragma once

#include <QString>

// Told how a crash upload ended.
class CrashReporterDelegate {
public:
    virtual ~CrashReporterDelegate() = default;
    virtual void onUploadCrashSuccess() {}
    virtual void onUploadCrashFail(const QString& reason) { Q_UNUSED(reason); }
};
