#include "crashhandler/NSExceptionUploadPackage.h"

#include "analytics/kel/KelOutputStream.h"

void NSExceptionUploadPackage::addPkgElements(const std::vector<std::shared_ptr<AnalyticsPersistObject>>& records)
{
    if (records.empty())
        return;
    m_list.clear();
    for (const auto& record : records)
        if (auto upload = std::dynamic_pointer_cast<NSExpUpload>(record))
            m_list.push_back(std::move(upload));
}

void NSExceptionUploadPackage::setDataToBuffer(analyticsrov::KelOutputStream* os) const
{
    if (!os)
        return;
    std::vector<exceptionupload::ExceptionUpload> wire;
    wire.reserve(m_list.size());
    for (const auto& record : m_list)
        wire.push_back(record->wire());
    os->write(wire, 0);
}
