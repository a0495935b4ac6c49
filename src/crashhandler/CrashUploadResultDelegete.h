#pragma once

#include <QString>

// Told how a crash upload ended. Never owned by the reporter: it holds a
// weak reference, and a message whose receiver is gone is dropped.
class CrashUploadResultDelegete {
public:
    virtual ~CrashUploadResultDelegete() = default;
    virtual void onUploadCrashSuccess() {}
    virtual void onUploadCrashFail(const QString& reason) { Q_UNUSED(reason); }
};
