#include "platform/Allocator.h"

#include <cstdint>
#include <cstdlib> // defines __GLIBC__ on the GNU C library
#include <sys/mman.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void KeepFreedBuffersForReuse()
{
#if defined(__GLIBC__)
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 16 * 1024 * 1024);
#endif
}

void AdviseLargePages(const void *start, size_t bytes)
{
#if defined(MADV_HUGEPAGE)
    constexpr uintptr_t LargePage = 2 * 1024 * 1024;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(start) + LargePage - 1) & ~(LargePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(start) + bytes) & ~(LargePage - 1);
    if (end > first)
        madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
#else
    (void)start;
    (void)bytes;
#endif
}
