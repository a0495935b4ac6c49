#include "crashhandler/AllocatorFrames.h"

#include <atomic>
#include <cstdlib>
#include <dlfcn.h>
#include <link.h>

namespace {

struct Range {
    uintptr_t start;
    uintptr_t end;   // inclusive: a return address may sit just past a call
};

constexpr int kMaxRanges = 64;
Range g_ranges[kMaxRanges];
std::atomic<int> g_count{0};

const char* const kEntryPoints[] = {"malloc",        "free",          "calloc",       "realloc",  "reallocarray",
                                    "memalign",      "posix_memalign", "aligned_alloc", "valloc",   "pvalloc",
                                    "malloc_trim",   "malloc_usable_size", "mallopt",   "mallinfo2", "malloc_info",
                                    "malloc_stats"};

void add(Range* ranges, int& count, void* address)
{
    Dl_info info{};
    ElfW(Sym)* symbol = nullptr;
    if (!address || count >= kMaxRanges ||
        !dladdr1(address, &info, reinterpret_cast<void**>(&symbol), RTLD_DL_SYMENT) || !symbol || !info.dli_saddr)
        return;
    const auto start = uintptr_t(info.dli_saddr);
    const Range range{start, start + (symbol->st_size ? symbol->st_size : 1)};
    for (int i = 0; i < count; ++i)
        if (ranges[i].start == range.start)
            return;
    ranges[count++] = range;
}

const char* skipBack(const char* at, const char* begin, bool spaces)
{
    while (at > begin && (at[-1] == ' ') == spaces)
        --at;
    return at;
}

}

void AllocatorFrames::prepare()
{
    if (g_count.load() > 0)
        return;
    Range found[kMaxRanges];
    int count = 0;
    // The allocator in use (an interposed one included) and the C library's own.
    void* libc = dlopen("libc.so.6", RTLD_LAZY | RTLD_NOLOAD);
    for (const char* name : kEntryPoints) {
        add(found, count, dlsym(RTLD_DEFAULT, name));
        if (libc)
            add(found, count, dlsym(libc, name));
    }
    if (libc)
        dlclose(libc);
    for (int i = 0; i < count; ++i)
        g_ranges[i] = found[i];
    g_count.store(count);
}

bool AllocatorFrames::contains(uintptr_t pc)
{
    const int count = g_count.load();
    for (int i = 0; i < count; ++i)
        if (pc >= g_ranges[i].start && pc <= g_ranges[i].end)
            return true;
    return false;
}

bool AllocatorFrames::inStack(const char* frames)
{
    if (!frames)
        return false;
    const char* line = frames;
    while (*line) {
        const char* end = line;
        while (*end && *end != '\n')
            ++end;
        // From the line's end: the offset, "+", the base, then the pc.
        const char* at = skipBack(end, line, true);
        for (int token = 0; token < 3 && at > line; ++token)
            at = skipBack(skipBack(at, line, false), line, true);
        const char* pc = skipBack(at, line, false);
        if (pc < at) {
            char* parsed = nullptr;
            const unsigned long long value = std::strtoull(pc, &parsed, 16);
            if (parsed == at && contains(uintptr_t(value)))
                return true;
        }
        line = *end ? end + 1 : end;
    }
    return false;
}
