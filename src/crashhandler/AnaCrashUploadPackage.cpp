#include "crashhandler/AnaCrashUploadPackage.h"

void AnaCrashUploadPackage::setDataToBuffer(analyticsrov::KelOutputStream& os) const
{
    m_package.setDataToBuffer(&os);
}

bool AnaCrashUploadPackage::addPkgElements(const AnaRecordList& records)
{
    m_package.addPkgElements(records);
    return true;
}

AnaRecordList AnaCrashUploadPackage::getPkgElements() const
{
    return AnaRecordList(m_package.list().begin(), m_package.list().end());
}
