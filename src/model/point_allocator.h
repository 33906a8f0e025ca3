#pragma once

#include <cstddef>
#include <type_traits>

#include "model/data_point.h"
#include "model/huge_pages.h"
#include "model/large_array.h"

// Where the blocks of the points' deques come from.
//
// A million points are some 170,000 deque blocks of half a kilobyte. From the ordinary heap
// each is a malloc, and the kernel faults the heap in four kilobytes at a time: reading a big
// project spent more time in page faults than in parsing. The arena hands out the blocks from
// regions of one transparent huge page each (see model/huge_pages.h).
//
// Every function is safe to call from any thread.

// The largest request the arena serves, and the alignment of what it hands out.
inline constexpr size_t kPointBlockBytes = 512;
// Blocks one arena holds (its first block keeps its bookkeeping).
inline constexpr size_t kPointBlocksPerArena = kHugePageBytes / kPointBlockBytes - 1;

// A block of kPointBlockBytes from an arena. Maps a new arena when none has room; when the
// system refuses the mapping the arena comes from operator new instead, and when that fails too
// it throws std::bad_alloc as std::allocator would.
void* AllocatePointBlock();
// REQUIRES: `block` came from AllocatePointBlock and is not yet freed. An arena whose blocks
// are all free goes back to the system, except one, kept for the next allocation.
void FreePointBlock(void* block);
// Arenas mapped now, the kept empty one included.
size_t PointArenaCount();

// The points' deque allocator: the point blocks come from the arena, every other request (the
// deque's map of block pointers comes through a copy rebound to CDataPoint*) from
// CLargeArrayAllocator, and so does every request in sanitized builds (model/huge_pages.h).
// Stateless, so deques of points swap and move their blocks freely.
template <class T>
class CPointAllocator {
  public:
    using value_type = T;

    CPointAllocator() noexcept = default;
    template <class U>
    CPointAllocator(const CPointAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        if (FromArena(n)) {
            return static_cast<T*>(AllocatePointBlock());
        }
        return CLargeArrayAllocator<T>().allocate(n);
    }

    void deallocate(T* p, size_t n) noexcept {
        if (FromArena(n)) {
            FreePointBlock(p);
        } else {
            CLargeArrayAllocator<T>().deallocate(p, n);
        }
    }

    friend bool operator==(const CPointAllocator&, const CPointAllocator&) noexcept { return true; }

  private:
    static bool FromArena(size_t n) {
        static_assert(alignof(T) <= kPointBlockBytes);
        return kHugePageAllocators && std::is_same_v<T, CDataPoint> &&
               n <= kPointBlockBytes / sizeof(T);
    }
};
