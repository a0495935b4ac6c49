#include "crashhandler/FrameUnwinder.h"

#include "crashhandler/ImageTable.h"
#include "crashhandler/StackWalker.h"

#define UNW_LOCAL_ONLY
#include <libunwind.h>

#include <atomic>
#include <dlfcn.h>

namespace {

#if defined(__x86_64__)
constexpr int kFramePointerRegister = UNW_X86_64_RBP;
#elif defined(__aarch64__)
constexpr int kFramePointerRegister = UNW_AARCH64_X29;
#endif

#define PAV_SYMBOL_TEXT(name) #name
#define PAV_SYMBOL(name) PAV_SYMBOL_TEXT(name)

// libunwind is opened privately (RTLD_LOCAL): it also defines the C++
// exception runtime's _Unwind_* functions, and linked in the usual way it
// would take them over from libgcc for the whole process.
struct Api {
    decltype(&unw_tdep_getcontext) getcontext = nullptr;
    decltype(&unw_init_local) initLocal = nullptr;
    decltype(&unw_init_local2) initLocal2 = nullptr;
    decltype(&unw_step) step = nullptr;
    decltype(&unw_get_reg) getReg = nullptr;
    decltype(&unw_set_caching_policy) setCachingPolicy = nullptr;
    unw_addr_space_t* localAddressSpace = nullptr;
};

Api g_api;
std::atomic<bool> g_ready{false};

template <typename T>
bool find(void* library, const char* name, T& out)
{
    out = reinterpret_cast<T>(dlsym(library, name));
    return out != nullptr;
}

bool open(Api& api)
{
    void* library = dlopen("libunwind.so.8", RTLD_NOW | RTLD_LOCAL);
    if (!library)
        return false;
    return find(library, PAV_SYMBOL(unw_tdep_getcontext), api.getcontext) &&
           find(library, PAV_SYMBOL(unw_init_local), api.initLocal) &&
           find(library, PAV_SYMBOL(unw_init_local2), api.initLocal2) &&
           find(library, PAV_SYMBOL(unw_step), api.step) && find(library, PAV_SYMBOL(unw_get_reg), api.getReg) &&
           find(library, PAV_SYMBOL(unw_set_caching_policy), api.setCachingPolicy) &&
           find(library, PAV_SYMBOL(unw_local_addr_space), api.localAddressSpace);
}

// Continues with the frame-pointer walk from the last frame found.
int walkFramePointers(uintptr_t pc, uintptr_t fp, const ImageTable& images, uintptr_t* frames, int n, int max)
{
    StackWalker walker(pc, fp);
    uintptr_t frame = 0;
    walker.nextStackFrame(frame);   // pc itself, already listed
    while (n < max && walker.nextStackFrame(frame) && images.isExecutable(frame))
        frames[n++] = frame;
    return n;
}

}

void FrameUnwinder::prepare()
{
    if (g_ready.load())
        return;
    Api api;
    if (!open(api))
        return;
    api.setCachingPolicy(*api.localAddressSpace, UNW_CACHE_PER_THREAD);
    unw_context_t context;
    unw_cursor_t cursor;
    if (api.getcontext(&context) != 0 || api.initLocal(&cursor, &context) != 0)
        return;
    for (int i = 0; i < 64 && api.step(&cursor) > 0; ++i) {
    }
    g_api = api;
    g_ready.store(true);
}

int FrameUnwinder::walk(const void* ucontext, const ImageTable& images, uintptr_t* frames, int max)
{
    if (max <= 0)
        return 0;
    int n = 0;
    uintptr_t pc = StackWalker::contextPc(ucontext);
    uintptr_t fp = StackWalker::contextFp(ucontext);
    frames[n++] = pc;
    // The context is only read: the unwinder copies the registers it needs.
    auto* context = static_cast<unw_context_t*>(const_cast<void*>(ucontext));
    unw_cursor_t cursor;
    if (!g_ready.load() || g_api.initLocal2(&cursor, context, UNW_INIT_SIGNAL_FRAME) != 0)
        return walkFramePointers(pc, fp, images, frames, n, max);
    while (n < max) {
        const int step = g_api.step(&cursor);
        if (step == 0)
            return n;   // the outermost frame
        if (step < 0)
            return walkFramePointers(pc, fp, images, frames, n, max);
        unw_word_t ip = 0;
        unw_word_t framePointer = 0;
        if (g_api.getReg(&cursor, UNW_REG_IP, &ip) != 0 || !images.isExecutable(ip))
            return n;
        g_api.getReg(&cursor, kFramePointerRegister, &framePointer);
        pc = ip;
        fp = framePointer;
        frames[n++] = pc;
    }
    return n;
}
