#include "support/AddressSpaceCap.h"

#include <algorithm>
#include <cstdio>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(__SANITIZE_HWADDRESS__)
#define ADDRESS_SPACE_CAP_SANITIZED 1
#endif
#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define ADDRESS_SPACE_CAP_SANITIZED 1
#endif
#endif

AddressSpaceCap::AddressSpaceCap(unsigned long long headroom)
{
    long pages = 0;
    FILE* statm = std::fopen("/proc/self/statm", "r");
    if (!statm)
        return;
    const bool read = std::fscanf(statm, "%ld", &pages) == 1;
    std::fclose(statm);
    if (!read || ::getrlimit(RLIMIT_AS, &m_before) != 0)
        return;
    struct rlimit capped = m_before;
    capped.rlim_cur = std::min(m_before.rlim_cur, rlim_t(pages) * rlim_t(::sysconf(_SC_PAGESIZE)) + rlim_t(headroom));
    m_set = ::setrlimit(RLIMIT_AS, &capped) == 0;
}

AddressSpaceCap::~AddressSpaceCap()
{
    if (m_set)
        ::setrlimit(RLIMIT_AS, &m_before);
}

bool AddressSpaceCap::supported()
{
#ifdef ADDRESS_SPACE_CAP_SANITIZED
    return false;
#else
    return true;
#endif
}
