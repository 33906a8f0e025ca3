#include "model/huge_pages.h"

#include <sys/mman.h>

#include <cstdint>

namespace {

// A tail of small pages would cost a fault per 4 KiB again; the most a whole huge page wastes
// is less than one.
size_t WholePages(size_t bytes) {
    return (bytes + kHugePageBytes - 1) / kHugePageBytes * kHugePageBytes;
}

}  // namespace

void* MapHugePages(size_t bytes) {
    const size_t length = WholePages(bytes);
    // mmap aligns to small pages only: map a huge page more and trim both ends.
    void* raw = mmap(nullptr, length + kHugePageBytes, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        return nullptr;
    }
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
    if (aligned > start) {
        munmap(raw, aligned - start);
    }
    if (const uintptr_t tail = start + kHugePageBytes - aligned; tail > 0) {
        munmap(reinterpret_cast<void*>(aligned + length), tail);
    }
    void* memory = reinterpret_cast<void*>(aligned);
    // Refused where the kernel has no transparent huge pages; the mapping then stays small-paged.
    madvise(memory, length, MADV_HUGEPAGE);
    return memory;
}

void UnmapHugePages(void* memory, size_t bytes) {
    munmap(memory, WholePages(bytes));
}
