#pragma once

#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"

#include <gtest/gtest.h>

#include <string>

// "0a 1B" → bytes; bytes → "0A 1B".
analyticsrov::KelBytes fromHex(const std::string& text);
std::string toHex(const analyticsrov::KelBytes& bytes);

template <typename T>
std::string encodedHex(const T& value, uint32_t tag)
{
    analyticsrov::KelOutputStream os;
    os.write(value, tag);
    return toHex(os.bytes());
}

// The text of the error that decoding the bytes throws ("" when none).
template <typename Fn>
std::string errorOf(Fn&& fn)
{
    try {
        fn();
    } catch (const std::exception& e) {
        return e.what();
    }
    return {};
}

// A struct with every kind of field; the last one is required so that any
// truncation must fail.
struct SampleStruct : analyticsrov::KelStructBase {
    int32_t id = 0;
    std::string name;
    std::vector<std::string> tags;
    std::map<int32_t, bool> flags;
    analyticsrov::KelBytes blob;
    int64_t stamp = 0;

    void writeTo(analyticsrov::KelOutputStream& os) const override
    {
        os.write(id, 0);
        os.write(name, 1);
        os.write(tags, 2);
        os.write(flags, 3);
        os.write(blob, 4);
        os.write(stamp, 5);
    }
    void readFrom(analyticsrov::KelInputStream& is) override
    {
        is.read(id, 0, true);
        is.read(name, 1, false);
        is.read(tags, 2, false);
        is.read(flags, 3, false);
        is.read(blob, 4, false);
        is.read(stamp, 5, true);
    }
    bool operator==(const SampleStruct& o) const
    {
        return id == o.id && name == o.name && tags == o.tags && flags == o.flags && blob == o.blob &&
               stamp == o.stamp;
    }
};
