#pragma once
#include <cstddef>
#include <cstdint>
#ifdef __linux__
#include <sys/mman.h>
#endif

// Asks the system to back a fresh, not yet touched multi-megabyte buffer with large
// pages: filling a photograph's rows then costs a few page faults instead of thousands.
// Only a hint; where it is not supported nothing changes.
inline void AdviseLargePages(void* memory, size_t size)
{
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr uintptr_t kLarge = uintptr_t(2) << 20;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(memory) + kLarge - 1) & ~(kLarge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(memory) + size) & ~(kLarge - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)memory;
    (void)size;
#endif
}
