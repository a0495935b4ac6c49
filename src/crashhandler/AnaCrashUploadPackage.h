#pragma once

#include "analytics/packages/AnaPackageObject.h"
#include "crashhandler/NSExceptionUploadPackage.h"

// The crash records' package as a body of a mix package (key 3).
class AnaCrashUploadPackage : public AnaNSObjTransToKelBufferProtocol {
public:
    void setDataToBuffer(analyticsrov::KelOutputStream& os) const override;
    bool addPkgElements(const AnaRecordList& records) override;
    AnaRecordList getPkgElements() const override;

    const NSExceptionUploadPackage& package() const { return m_package; }

private:
    NSExceptionUploadPackage m_package;
};
