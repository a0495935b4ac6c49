#pragma once

#include "crashhandler/FixedText.h"
#include "crashhandler/MachImageInfo.h"

#include <cstddef>
#include <cstdint>

class SafeOutput;

// The loaded images of this process, read from /proc/self/maps with open and
// read into the table's own storage, with every ELF header, program header
// and build-id note read through SafeRead. Async-signal-safe; the table is
// large, so the writer keeps one in static storage.
//
// An image is a file-backed mapping at offset 0 that starts with an ELF
// header and has an executable mapping, plus the vDSO. Non-ELF files and
// anonymous code are skipped; an image without a build-id keeps an empty id.
class ImageTable {
public:
    static constexpr int kMaxImages = 1024;
    static constexpr int kMaxExecutableRanges = 4096;

    // Reads the current mappings; the image whose path equals exePath is
    // put first. Returns false when the mappings could not be read.
    bool CollectImages(const char* exePath);

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

    // "%#10llx - %#10llx %s%s %s <%s> %s\n" per image, "+" marking exePath;
    // appends "%s;%s;%s#" per image to binInfo.
    void printImages(SafeOutput& out, const char* exePath, FixedText<65536>& binInfo) const;

    // The processor name of an ELF machine number.
    static void mapcpu(char* buf, std::size_t size, int machine);

private:
    bool readMaps();
    void parseLine(char* line);
    const char* keepPath(const char* path, std::size_t len);
    void GetImageInfo(MachImageInfo& image);
    void moveFirst(const char* exePath);

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
