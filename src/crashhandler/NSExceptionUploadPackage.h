#pragma once

#include "crashhandler/NSExpUpload.h"

#include <memory>
#include <vector>

namespace analyticsrov {
class KelOutputStream;
}

// The crash upload's body: a list of crash records at tag 0.
class NSExceptionUploadPackage {
public:
    const std::vector<std::shared_ptr<NSExpUpload>>& list() const { return m_list; }
    // Keeps the crash records among the given records, in order; an empty
    // input leaves the list as it was.
    void addPkgElements(const std::vector<std::shared_ptr<AnalyticsPersistObject>>& records);
    void setDataToBuffer(analyticsrov::KelOutputStream* os) const;

private:
    std::vector<std::shared_ptr<NSExpUpload>> m_list;
};
