#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace analyticsrov {

// Raw bytes carried as a Kel simple list.
using KelBytes = std::vector<uint8_t>;

// The four low bits of a field head.
enum KelType : uint8_t {
    KelChar = 0,
    KelShort = 1,
    KelInt32 = 2,
    KelInt64 = 3,
    KelFloat = 4,
    KelDouble = 5,
    KelString1 = 6,
    KelString4 = 7,
    KelMap = 8,
    KelList = 9,
    KelStructBegin = 10,
    KelStructEnd = 11,
    KelZeroTag = 12,
    KelSimpleList = 13,
};

inline constexpr uint32_t kKelMaxStringLength = 104857600;
inline constexpr int kKelMaxDepth = 64;
// List items and map entries one stream may build, however many its bytes
// could hold: a node of a decoded map costs some 60 bytes more than its
// wire form, so a count bounded by the bytes alone is not enough.
inline constexpr size_t kKelMaxElements = 65536;

// printf-style text for error messages.
template <typename... Args>
std::string kelFormat(const char* format, Args... args)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

}
