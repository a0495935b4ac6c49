#include "crashhandler/ImageTable.h"

#include "crashhandler/SafeFormat.h"
#include "crashhandler/SafeOutput.h"
#include "crashhandler/SafeRead.h"

#include <elf.h>
#include <fcntl.h>
#include <climits>
#include <cstdarg>
#include <cstdlib>
#include <link.h>
#include <sys/auxv.h>
#include <unistd.h>

namespace {

bool sameText(const char* a, const char* b)
{
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

uint64_t parseHex(const char*& p)
{
    uint64_t v = 0;
    for (;; ++p) {
        char c = *p;
        if (c >= '0' && c <= '9') v = v * 16 + uint64_t(c - '0');
        else if (c >= 'a' && c <= 'f') v = v * 16 + uint64_t(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') v = v * 16 + uint64_t(c - 'A' + 10);
        else return v;
    }
}

void skipField(const char*& p)
{
    while (*p && *p != ' ')
        ++p;
    while (*p == ' ')
        ++p;
}

}

void ImageTable::clear()
{
    m_count = 0;
    m_pathsUsed = 0;
    m_executableCount = 0;
    m_fromLoader = false;
    m_loadedCount = 0;
    m_printedKept = false;
}

void ImageTable::mapcpu(char* buf, std::size_t size, int machine)
{
    switch (machine) {
    case EM_X86_64: SafeFormat::format(buf, size, "x86_64"); break;
    case EM_AARCH64: SafeFormat::format(buf, size, "aarch64"); break;
    case EM_386: SafeFormat::format(buf, size, "x86"); break;
    case EM_ARM: SafeFormat::format(buf, size, "arm"); break;
    default: SafeFormat::format(buf, size, "cpu_%d.0", machine & 255); break;
    }
}

const char* ImageTable::keepPath(const char* path, std::size_t len)
{
    if (m_pathsUsed + len + 1 > sizeof m_paths)
        return nullptr;
    char* out = m_paths + m_pathsUsed;
    for (std::size_t i = 0; i < len; ++i)
        out[i] = path[i];
    out[len] = '\0';
    m_pathsUsed += len + 1;
    return out;
}

void ImageTable::add(const char* path, uint64_t loadAddress, uint64_t size, const char* cpuName)
{
    m_printedKept = false;
    if (m_count >= kMaxImages)
        return;
    MachImageInfo& info = m_images[m_count++];
    info = MachImageInfo();
    info.path = path;
    info.shortName = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '/')
            info.shortName = p + 1;
    }
    info.loadAddress = loadAddress;
    info.size = size;
    SafeFormat::format(info.cpuName, sizeof info.cpuName, "%s", cpuName);
}

bool ImageTable::readMaps()
{
    m_mapsLen = 0;
    int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    while (m_mapsLen + 1 < sizeof m_maps) {
        ssize_t n = ::read(fd, m_maps + m_mapsLen, sizeof m_maps - 1 - m_mapsLen);
        if (n <= 0)
            break;
        m_mapsLen += std::size_t(n);
    }
    ::close(fd);
    m_maps[m_mapsLen] = '\0';
    return m_mapsLen > 0;
}

// "start-end perms offset dev inode   path"
void ImageTable::parseLine(char* line)
{
    const char* p = line;
    uint64_t start = parseHex(p);
    if (*p++ != '-')
        return;
    uint64_t end = parseHex(p);
    while (*p == ' ')
        ++p;
    bool readable = p[0] == 'r';
    bool executable = p[2] == 'x';
    skipField(p);
    uint64_t offset = parseHex(p);
    while (*p == ' ')
        ++p;
    skipField(p);   // device
    skipField(p);   // inode
    if (executable && m_executableCount < kMaxExecutableRanges) {
        m_executable[m_executableCount][0] = start;
        m_executable[m_executableCount][1] = end;
        ++m_executableCount;
    }
    const char* path = p;
    if (!*path)
        return;   // anonymous (JIT code included)
    bool pseudo = path[0] == '[';
    if (pseudo && !sameText(path, "[vdso]"))
        return;

    if (offset == 0) {
        if (m_count >= kMaxImages)
            return;
        std::size_t len = 0;
        while (path[len])
            ++len;
        const char* kept = keepPath(path, len);
        if (!kept)
            return;
        add(kept, start, 0, "");
        m_elf[m_count - 1] = readable;   // a candidate until probeElfHeaders
        m_execEnd[m_count - 1] = executable ? end : 0;
        return;
    }
    // A later segment belongs to the newest image of the same path.
    for (int i = m_count - 1; i >= 0 && i >= m_count - 64; --i) {
        if (sameText(m_images[i].path, path)) {
            if (executable && end > m_execEnd[i])
                m_execEnd[i] = end;
            return;
        }
    }
}

void ImageTable::GetImageInfo(MachImageInfo& image)
{
    Elf64_Ehdr eh;
    if (!SafeRead::read(image.loadAddress, &eh, sizeof eh))
        return;
    mapcpu(image.cpuName, sizeof image.cpuName, eh.e_machine);
    if (eh.e_ident[EI_CLASS] != ELFCLASS64 || eh.e_phentsize != sizeof(Elf64_Phdr) || eh.e_phnum > 64)
        return;
    Elf64_Phdr ph[64];
    if (!SafeRead::read(image.loadAddress + eh.e_phoff, ph, sizeof(Elf64_Phdr) * eh.e_phnum))
        return;
    uint64_t bias = image.loadAddress;
    for (int i = 0; i < eh.e_phnum; ++i) {
        if (ph[i].p_type == PT_LOAD && ph[i].p_offset == 0) {
            bias = image.loadAddress - ph[i].p_vaddr;
            break;
        }
    }
    for (int i = 0; i < eh.e_phnum; ++i) {
        if (ph[i].p_type != PT_NOTE)
            continue;
        unsigned char notes[1024];
        std::size_t size = ph[i].p_memsz < sizeof notes ? ph[i].p_memsz : sizeof notes;
        if (!SafeRead::read(bias + ph[i].p_vaddr, notes, size))
            continue;
        std::size_t at = 0;
        while (at + sizeof(Elf64_Nhdr) <= size) {
            Elf64_Nhdr nh;
            __builtin_memcpy(&nh, notes + at, sizeof nh);
            std::size_t name = at + sizeof nh;
            std::size_t desc = name + ((nh.n_namesz + 3) & ~3u);
            std::size_t next = desc + ((nh.n_descsz + 3) & ~3u);
            if (next > size)
                break;
            if (nh.n_type == NT_GNU_BUILD_ID && nh.n_namesz == 4 && notes[name] == 'G' &&
                notes[name + 1] == 'N' && notes[name + 2] == 'U' && notes[name + 3] == 0) {
                std::size_t n = nh.n_descsz < sizeof image.uuid ? nh.n_descsz : sizeof image.uuid;
                __builtin_memcpy(image.uuid, notes + desc, n);
                image.uuidLength = uint8_t(n);
                return;
            }
            at = next;
        }
    }
}

void ImageTable::moveFirst(const char* exePath)
{
    for (int i = 1; i < m_count; ++i) {
        if (!sameText(m_images[i].path, exePath))
            continue;
        MachImageInfo exe = m_images[i];
        for (int j = i; j > 0; --j)
            m_images[j] = m_images[j - 1];
        m_images[0] = exe;
        return;
    }
}

// Reads the first four bytes of every candidate in one batch: an image must
// start with the ELF magic.
void ImageTable::probeElfHeaders()
{
    constexpr int kBatch = 64;
    char magic[kBatch][4];
    SafeRead::Range ranges[kBatch];
    bool ok[kBatch];
    int index[kBatch];
    for (int from = 0; from < m_count;) {
        int n = 0;
        for (; from < m_count && n < kBatch; ++from) {
            if (!m_elf[from])
                continue;
            ranges[n] = SafeRead::Range{m_images[from].loadAddress, magic[n], 4};
            index[n++] = from;
        }
        SafeRead::readMany(ranges, n, ok);
        for (int i = 0; i < n; ++i) {
            m_elf[index[i]] = ok[i] && magic[i][0] == 0x7f && magic[i][1] == 'E' && magic[i][2] == 'L' &&
                              magic[i][3] == 'F';
        }
    }
}

bool ImageTable::CollectImages(const char* exePath)
{
    clear();
    if (!readMaps())
        return false;
    char* line = m_maps;
    while (*line) {
        char* end = line;
        while (*end && *end != '\n')
            ++end;
        if (!*end)
            break;   // a cut last line
        *end = '\0';
        parseLine(line);
        line = end + 1;
    }
    probeElfHeaders();
    // Keep the ELF images that have code.
    int kept = 0;
    for (int i = 0; i < m_count; ++i) {
        if (!m_elf[i] || m_execEnd[i] <= m_images[i].loadAddress)
            continue;
        MachImageInfo image = m_images[i];
        image.size = m_execEnd[i] - image.loadAddress;
        GetImageInfo(image);
        m_images[kept++] = image;
    }
    m_count = kept;
    if (exePath && *exePath)
        moveFirst(exePath);
    return true;
}

ImageTable::Symbol ImageTable::symbolise(uint64_t address) const
{
    Symbol s{"<unknown-name>", address, 0};
    for (int i = 0; i < m_count; ++i) {
        if (m_images[i].contains(address))
            s = Symbol{m_images[i].shortName, m_images[i].loadAddress, address - m_images[i].loadAddress};
    }
    return s;
}

void ImageTable::addExecutableRange(uint64_t start, uint64_t end)
{
    if (m_executableCount >= kMaxExecutableRanges)
        return;
    m_executable[m_executableCount][0] = start;
    m_executable[m_executableCount][1] = end;
    ++m_executableCount;
}

int ImageTable::onLoadedObject(dl_phdr_info* info, std::size_t, void* data)
{
    auto* table = static_cast<ImageTable*>(data);
    if (table->m_count >= kMaxImages || table->m_loadedCount >= kMaxImages)
        return 1;
    const uint64_t page = uint64_t(getpagesize());
    uint64_t header = 0;
    bool haveHeader = false;
    uint64_t codeEnd = 0;
    const void* dynamic = nullptr;
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& ph = info->dlpi_phdr[i];
        const uint64_t start = info->dlpi_addr + ph.p_vaddr;
        if (ph.p_type == PT_DYNAMIC)
            dynamic = reinterpret_cast<const void*>(start);
        if (ph.p_type != PT_LOAD)
            continue;
        if (!haveHeader && ph.p_offset == 0) {
            header = start;
            haveHeader = true;
        }
        if (ph.p_flags & PF_X) {
            const uint64_t end = (start + ph.p_memsz + page - 1) & ~(page - 1);
            table->addExecutableRange(start & ~(page - 1), end);
            if (end > codeEnd)
                codeEnd = end;
        }
    }
    LoadedObject& loaded = table->m_loaded[table->m_loadedCount++];
    loaded = LoadedObject{nullptr, info->dlpi_addr, dynamic};
    if (!haveHeader || codeEnd <= header)
        return 0;
    // Named as the mappings name them: the resolved file path, "[vdso]".
    const char* name = info->dlpi_name;
    if (!name || !*name)
        name = table->m_loadedCount == 1 ? table->m_exePath : "";
    char resolved[PATH_MAX];
    if (header == getauxval(AT_SYSINFO_EHDR))
        name = "[vdso]";
    else if (*name && realpath(name, resolved))
        name = resolved;
    std::size_t len = 0;
    while (name[len])
        ++len;
    const char* kept = table->keepPath(name, len);
    if (!kept)
        return 0;
    table->add(kept, header, codeEnd - header, "");
    table->GetImageInfo(table->m_images[table->m_count - 1]);
    return 0;
}

bool ImageTable::collectFromLoader(const char* exePath)
{
    clear();
    std::size_t exeLength = 0;
    while (exePath && exePath[exeLength])
        ++exeLength;
    m_exePath = exeLength ? keepPath(exePath, exeLength) : "";
    dl_iterate_phdr(&ImageTable::onLoadedObject, this);
    // The loader's list and its state word, as debuggers follow them: the
    // executable's DT_DEBUG entry points at them.
    m_debug = nullptr;
    if (m_loadedCount > 0 && m_loaded[0].dynamic) {
        for (const auto* d = static_cast<const ElfW(Dyn)*>(m_loaded[0].dynamic); d->d_tag != DT_NULL; ++d) {
            if (d->d_tag == DT_DEBUG)
                m_debug = reinterpret_cast<const r_debug*>(d->d_un.d_ptr);
        }
    }
    // The maps in list order, matched to the objects by load bias and dynamic
    // section.
    int i = 0;
    for (const link_map* map = m_debug ? m_debug->r_map : nullptr; map && i < m_loadedCount; map = map->l_next, ++i) {
        if (map->l_addr != m_loaded[i].bias || map->l_ld != m_loaded[i].dynamic)
            break;
        m_loaded[i].map = map;
    }
    m_fromLoader = m_debug && i == m_loadedCount;
    if (exePath && *exePath)
        moveFirst(exePath);
    keepPrintedLines();
    return m_count > 0;
}

bool ImageTable::matchesLoader() const
{
    if (!m_fromLoader)
        return false;
    const volatile r_debug* debug = m_debug;
    if (debug->r_state != r_debug::RT_CONSISTENT)
        return false;
    int i = 0;
    for (const volatile link_map* map = debug->r_map; map; map = map->l_next, ++i) {
        if (i >= m_loadedCount || map != m_loaded[i].map || map->l_addr != m_loaded[i].bias ||
            map->l_ld != m_loaded[i].dynamic)
            return false;
    }
    return i == m_loadedCount && debug->r_state == r_debug::RT_CONSISTENT;
}

bool ImageTable::isExecutable(uint64_t address) const
{
    if (m_executableCount == 0)
        return true;
    for (int i = 0; i < m_executableCount; ++i) {
        if (address >= m_executable[i][0] && address < m_executable[i][1])
            return true;
    }
    return false;
}

namespace {

// Text kept in memory, with the calls of SafeOutput that the image lines use.
struct TextBuffer {
    SafeFormat::Sink sink;
    TextBuffer(char* buffer, std::size_t size)
    {
        sink.buf = buffer;
        sink.cap = size;
    }
    void printf(const char* fmt, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, fmt);
        SafeFormat::vformat(sink, fmt, args);
        va_end(args);
    }
    void text(const char* s)
    {
        std::size_t n = 0;
        while (s[n])
            ++n;
        sink.put(s, n);
    }
    bool whole() const { return sink.total < sink.cap; }
};

template <typename Out, typename Summary>
void formatImages(const MachImageInfo* images, int count, Out& out, const char* exePath, Summary& binInfo)
{
    char hex[65];
    char line[512];
    for (int i = 0; i < count; ++i) {
        const MachImageInfo& image = images[i];
        image.uuidHex(hex);
        out.printf("%#10llx - %#10llx ", (unsigned long long)image.loadAddress,
                   (unsigned long long)(image.loadAddress + image.size - 1));
        out.text(exePath && sameText(image.path, exePath) ? "+" : " ");
        out.text(image.shortName);
        out.printf(" %s <%s> ", image.cpuName, hex);
        out.text(image.path);
        out.text("\n");
        SafeFormat::format(line, sizeof line, "%s;%s;%s#", image.shortName, image.cpuName, hex);
        binInfo.text(line);
    }
}

struct FixedSummary {
    FixedText<65536>& text_;
    void text(const char* s) { text_.append(s); }
};

}

void ImageTable::keepPrintedLines()
{
    TextBuffer lines(m_printed, sizeof m_printed);
    TextBuffer summary(m_summary, sizeof m_summary);
    formatImages(m_images, m_count, lines, m_exePath, summary);
    m_printedLength = lines.sink.len;
    m_summaryLength = summary.sink.len;
    m_printedKept = lines.whole() && summary.whole();
}

void ImageTable::printImages(SafeOutput& out, const char* exePath, FixedText<65536>& binInfo) const
{
    if (m_printedKept && exePath && sameText(exePath, m_exePath)) {
        out.bytes(m_printed, m_printedLength);
        binInfo.append(m_summary, m_summaryLength);
        return;
    }
    FixedSummary summary{binInfo};
    formatImages(m_images, m_count, out, exePath, summary);
}
