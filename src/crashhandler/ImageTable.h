#pragma once

#include "crashhandler/FixedText.h"
#include "crashhandler/MachImageInfo.h"

#include <cstddef>
#include <cstdint>

class SafeOutput;
struct dl_phdr_info;
struct r_debug;

// The loaded images of this process. The writer builds its table at arming
// from the loader's list (collectFromLoader, a normal context) and at crash
// time only checks, without a lock, that the loader's list is still the one
// it was built from (matchesLoader); when a library came or went since, it
// reads the table again from /proc/self/maps (CollectImages, async-signal-
// safe: open and read into the table's own storage, every ELF header,
// program header and build-id note read through SafeRead, the ELF probes of
// all mappings in one batch). The table is large, so the writer keeps one in
// static storage.
//
// An image is an ELF object with code: the executable, the shared objects
// and the vDSO; from the mappings, a file-backed mapping at offset 0 that
// starts with an ELF header and has an executable mapping. Non-ELF files are
// skipped; an image without a build-id keeps an empty id.
class ImageTable {
public:
    static constexpr int kMaxImages = 1024;
    static constexpr int kMaxExecutableRanges = 4096;

    // Reads the current mappings; the image whose path equals exePath is
    // put first. Returns false when the mappings could not be read.
    bool CollectImages(const char* exePath);
    // Normal context: reads the loader's list (dl_iterate_phdr) and notes it
    // for matchesLoader. The executable (exePath) comes first.
    bool collectFromLoader(const char* exePath);
    // Async-signal-safe and lock-free: whether the table was built by
    // collectFromLoader and the loader's list is still the same, and
    // settled (no load or unload under way).
    bool matchesLoader() const;

    void clear();
    // Adds an image by hand (tests); the texts must outlive the table.
    void add(const char* path, uint64_t loadAddress, uint64_t size, const char* cpuName);

    int count() const { return m_count; }
    const MachImageInfo& at(int i) const { return m_images[i]; }

    // The last image whose range [load, load + size) holds the address wins;
    // with none the name is "<unknown-name>", the base the address, offset 0.
    struct Symbol {
        const char* name;
        uint64_t base;
        uint64_t offset;
    };
    Symbol symbolise(uint64_t address) const;

    // Whether the address lies in an executable mapping (anonymous code
    // included) of the last CollectImages; true for every address when no
    // mappings were read (a table filled by hand).
    bool isExecutable(uint64_t address) const;
    void addExecutableRange(uint64_t start, uint64_t end);

    // "%#10llx - %#10llx %s%s %s <%s> %s\n" per image, "+" marking exePath;
    // appends "%s;%s;%s#" per image to binInfo. A table built from the
    // loader's list has both texts made already (for its exePath).
    void printImages(SafeOutput& out, const char* exePath, FixedText<65536>& binInfo) const;

    // The processor name of an ELF machine number.
    static void mapcpu(char* buf, std::size_t size, int machine);

private:
    bool readMaps();
    void parseLine(char* line);
    const char* keepPath(const char* path, std::size_t len);
    void GetImageInfo(MachImageInfo& image);
    void moveFirst(const char* exePath);
    void probeElfHeaders();
    void keepPrintedLines();
    static int onLoadedObject(dl_phdr_info* info, std::size_t size, void* table);

    // The loader's list as collectFromLoader saw it: each object's map,
    // load bias and dynamic section.
    struct LoadedObject {
        const void* map;
        uintptr_t bias;
        const void* dynamic;
    };
    const r_debug* m_debug = nullptr;
    LoadedObject m_loaded[kMaxImages] = {};
    int m_loadedCount = 0;
    bool m_fromLoader = false;
    const char* m_exePath = "";
    char m_printed[64 * 1024];
    std::size_t m_printedLength = 0;
    char m_summary[32 * 1024];
    std::size_t m_summaryLength = 0;
    bool m_printedKept = false;

    MachImageInfo m_images[kMaxImages];
    uint64_t m_execEnd[kMaxImages] = {};
    bool m_elf[kMaxImages] = {};
    int m_count = 0;
    uint64_t m_executable[kMaxExecutableRanges][2] = {};
    int m_executableCount = 0;
    char m_paths[256 * 1024];
    std::size_t m_pathsUsed = 0;
    char m_maps[512 * 1024];
    std::size_t m_mapsLen = 0;
};
