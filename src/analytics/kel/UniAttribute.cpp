#include "analytics/kel/UniAttribute.h"

#include <stdexcept>

namespace analyticsnux {

void UniAttribute::put(const std::string& name, const std::string& typeName,
                       const analyticsrov::KelStructBase& value)
{
    analyticsrov::KelOutputStream os;
    os.write(value, 0);
    m_data[name][typeName] = os.takeBytes();
}

void UniAttribute::get(const std::string& name, const std::string& typeName,
                       analyticsrov::KelStructBase& value) const
{
    const auto entry = m_data.find(name);
    if (entry == m_data.end())
        throw std::runtime_error("UniAttribute not found key:" + name + ",type:" + typeName);
    const auto& types = entry->second;
    auto typed = types.find(typeName);
    if (typed == types.end()) {
        if (!types.empty() && types.begin()->first.find('?') != std::string::npos) {
            typed = types.begin();
        } else {
            std::string text = "UniAttribute type match fail,key:" + name + ",type:" + typeName + ",";
            if (!types.empty())
                text += "may be:" + types.begin()->first;
            throw std::runtime_error(text);
        }
    }
    analyticsrov::KelInputStream is(typed->second);
    is.read(value, 0, true);
}

}
