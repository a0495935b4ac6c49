#pragma once

#include "analytics/kel/KelDecodeException.h"

namespace analyticsrov {

// The data ended before what its heads, lengths or counts announced. While
// seeking a field this means "absent"; every other decode error stands.
class KelBufferOverflowException : public KelDecodeException {
public:
    using KelDecodeException::KelDecodeException;
};

}
