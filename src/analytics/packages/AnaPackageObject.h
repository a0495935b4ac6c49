#pragma once

#include <memory>
#include <vector>

class AnalyticsPersistObject;

namespace analyticsrov {
class KelInputStream;
class KelOutputStream;
}

// The common base of the objects a package body can hold (what a reply's
// body turns into, what a mix package keeps under a key).
class AnaPackageObject {
public:
    virtual ~AnaPackageObject() = default;
};

using AnaRecordList = std::vector<std::shared_ptr<AnalyticsPersistObject>>;

// An object that writes its own Kel form into a request body. Packages of
// stored records also take records in and hand them back.
class AnaNSObjTransToKelBufferProtocol : public virtual AnaPackageObject {
public:
    virtual void setDataToBuffer(analyticsrov::KelOutputStream& os) const = 0;
    // False when the object does not take records.
    virtual bool addPkgElements(const AnaRecordList& /*records*/) { return false; }
    virtual AnaRecordList getPkgElements() const { return {}; }
};

// An object that fills itself from a reply body.
class AnaLocalObjInitWithNuxProtocol : public virtual AnaPackageObject {
public:
    virtual void initLocalObjWithNuxBuffer(analyticsrov::KelInputStream& is) = 0;
};
