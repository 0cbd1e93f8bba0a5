// The large-page hint for big pixel buffers.
#pragma once
#include <cstddef>
#include <cstdint>
#ifdef __linux__
#include <sys/mman.h>
#endif

// Size and alignment of a large page.
inline constexpr size_t kLargePage = size_t(2) << 20;

// Asks the system to back a fresh, not yet touched multi-megabyte buffer with large
// pages: filling a photograph's rows then costs a few page faults instead of thousands.
// Only a hint; where it is not supported nothing changes.
inline void AdviseLargePages(void* memory, size_t size)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(memory) + kLargePage - 1) & ~uintptr_t(kLargePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(memory) + size) & ~uintptr_t(kLargePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)memory;
    (void)size;
#endif
}
