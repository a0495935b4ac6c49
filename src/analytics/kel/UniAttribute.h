#pragma once

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

#include <map>
#include <string>

namespace analyticsnux {

using analyticsrov::KelBytes;

// Named, typed values of a Nux packet: attribute name → type name → the
// value's Kel struct bytes (written at tag 0).
class UniAttribute {
public:
    using Data = std::map<std::string, std::map<std::string, KelBytes>>;

    void put(const std::string& name, const std::string& typeName, const analyticsrov::KelStructBase& value);
    // Throws std::runtime_error when the name or the type is missing, and
    // KelDecodeException when the stored bytes do not decode.
    void get(const std::string& name, const std::string& typeName, analyticsrov::KelStructBase& value) const;

    void encode(analyticsrov::KelOutputStream& os) const { os.write(m_data, 0); }
    void decode(analyticsrov::KelInputStream& is) { is.read(m_data, 0, true); }

    const Data& data() const { return m_data; }
    void clear() { m_data.clear(); }

private:
    Data m_data;
};

}
