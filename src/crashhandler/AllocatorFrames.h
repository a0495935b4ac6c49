#pragma once

#include <cstdint>

// Tells whether a crash happened inside the memory allocator, whose lock the
// crashed thread may then hold: the record step allocates, so it must not
// run for such a crash (the next launch stores it). prepare() finds the code
// of the allocator's entry points (malloc, free, realloc, ...) in a normal
// context; the questions read only what it found and never allocate.
class AllocatorFrames {
public:
    static void prepare();
    static bool contains(uintptr_t pc);
    // Whether a frame of a walked stack, as the report writer lists it
    // ("<index> <image> <pc> <base> + <offset>" per line), lies in the
    // allocator.
    static bool inStack(const char* frames);
};
