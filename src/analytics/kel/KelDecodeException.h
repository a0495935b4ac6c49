#pragma once

#include <stdexcept>
#include <string>

namespace analyticsrov {

// Every failure to decode (or to encode an out-of-range value) in the Kel
// serialization ends in this error; the text says what went wrong.
class KelDecodeException : public std::runtime_error {
public:
    explicit KelDecodeException(const std::string& what) : std::runtime_error(what) {}
};

}
