#include "codec/UrlEscape.h"

#include <cstdint>
#include <cstring>

namespace {
bool isLegalUrlCharacter(uint8_t c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return c != 0 && std::strchr("-_.!~*'();/?:@&=+$,#", c) != nullptr;
}
}

std::string codec_url_escape(std::string_view utf8)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(utf8.size());
    for (char ch : utf8) {
        const auto c = uint8_t(ch);
        if (isLegalUrlCharacter(c)) {
            out.push_back(ch);
        } else {
            out.push_back('%');
            out.push_back(digits[c >> 4]);
            out.push_back(digits[c & 0x0f]);
        }
    }
    return out;
}
