#pragma once

#include <sys/resource.h>

// Caps this process's address space at what it maps now plus `headroom`
// bytes, for as long as the object lives, so a large allocation fails as it
// would on a machine short of memory. A sanitizer's shadow memory does not
// fit under any cap: supported() is false then, and tests skip.
class AddressSpaceCap {
public:
    explicit AddressSpaceCap(unsigned long long headroom);
    ~AddressSpaceCap();
    AddressSpaceCap(const AddressSpaceCap&) = delete;
    AddressSpaceCap& operator=(const AddressSpaceCap&) = delete;

    bool isSet() const { return m_set; }
    static bool supported();

private:
    struct rlimit m_before {};
    bool m_set = false;
};
