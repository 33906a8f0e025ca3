#include "model/large_array.h"

#include <new>

namespace {

// Ahead of the array: how its memory was had, so that it goes back the same way. One cache
// line, so that the array keeps the alignment of the mapping's lines.
struct alignas(64) CArrayHeader {
    bool mapped;
};

}  // namespace

void* AllocateLargeArray(size_t bytes) {
    const size_t total = sizeof(CArrayHeader) + bytes;
    void* memory = MapHugePages(total);
    const bool mapped = memory != nullptr;
    if (!mapped) {
        memory = ::operator new (total, std::align_val_t{alignof(CArrayHeader)});
    }
    return new (memory) CArrayHeader{mapped} + 1;
}

void FreeLargeArray(void* memory, size_t bytes) {
    CArrayHeader* header = static_cast<CArrayHeader*>(memory) - 1;
    const size_t total = sizeof(CArrayHeader) + bytes;
    if (header->mapped) {
        UnmapHugePages(header, total);
    } else {
        ::operator delete (header, std::align_val_t{alignof(CArrayHeader)});
    }
}
