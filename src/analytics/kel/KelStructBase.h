#pragma once

namespace analyticsrov {

class KelInputStream;
class KelOutputStream;

// A Kel struct: its fields are written with their own tags between a
// struct-begin head and the struct-end byte.
class KelStructBase {
public:
    virtual ~KelStructBase() = default;
    virtual void writeTo(KelOutputStream& os) const = 0;
    virtual void readFrom(KelInputStream& is) = 0;
    bool operator==(const KelStructBase&) const = default;
};

}
