// Feeds arbitrary bytes to the Kel decoders: the Nux packet, the crash
// record, and the container readers. Any outcome but a KelDecodeException
// (or the packet's runtime error) is a fault.
#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/UniPacket.h"
#include "crashhandler/ExceptionUpload.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace {

template <typename T>
void readAs(const uint8_t* data, size_t size, bool asStruct)
{
    try {
        analyticsrov::KelInputStream is(data, size);
        T value{};
        if constexpr (std::is_base_of_v<analyticsrov::KelStructBase, T>) {
            if (asStruct)
                is.read(value, 0, true);
            else
                value.readFrom(is);
        } else {
            is.read(value, 0, true);
        }
    } catch (const std::runtime_error&) {
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    try {
        analyticsnux::UniPacket packet;
        packet.decode(data, size);
        exceptionupload::ExceptionUpload upload;
        packet.get("detail", "?", upload);
    } catch (const std::runtime_error&) {
    }
    readAs<exceptionupload::ExceptionUpload>(data, size, false);
    readAs<exceptionupload::ExceptionUpload>(data, size, true);
    readAs<std::map<int32_t, analyticsrov::KelBytes>>(data, size, false);
    readAs<std::map<int32_t, bool>>(data, size, false);
    readAs<std::map<std::string, std::map<std::string, analyticsrov::KelBytes>>>(data, size, false);
    readAs<std::vector<std::string>>(data, size, false);
    readAs<int64_t>(data, size, false);
    readAs<double>(data, size, false);
    try {
        analyticsrov::KelInputStream is(data, size);
        while (is.remaining() > 0)
            is.skipField();
    } catch (const std::runtime_error&) {
    }
    return 0;
}
