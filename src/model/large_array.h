#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "model/huge_pages.h"

// Arrays over a whole series (the simulation's smoothed values, changes and signal): at a
// million points each is megabytes, which the ordinary heap maps on its own and the kernel
// faults in four kilobytes at a time. From here such an array comes in huge pages.

// Smaller arrays stay on the ordinary heap, which reuses their memory without a fault.
inline constexpr size_t kLargeArrayBytes = size_t{1} << 20;

// At least `bytes` aligned to 64 bytes. When the system refuses the mapping the memory comes
// from operator new instead, and when that fails too it throws std::bad_alloc as
// std::allocator would.
void* AllocateLargeArray(size_t bytes);
// REQUIRES: `memory` and `bytes` as given to and returned by one AllocateLargeArray.
void FreeLargeArray(void* memory, size_t bytes);

// Large requests from AllocateLargeArray, the others (and all in sanitized builds) from
// std::allocator. Stateless.
template <class T>
class CLargeArrayAllocator {
  public:
    using value_type = T;

    CLargeArrayAllocator() noexcept = default;
    template <class U>
    CLargeArrayAllocator(const CLargeArrayAllocator<U>&) noexcept {}

    T* allocate(size_t n) {
        if (Large(n)) {
            return static_cast<T*>(AllocateLargeArray(n * sizeof(T)));
        }
        return std::allocator<T>().allocate(n);
    }

    void deallocate(T* p, size_t n) noexcept {
        if (Large(n)) {
            FreeLargeArray(p, n * sizeof(T));
        } else {
            std::allocator<T>().deallocate(p, n);
        }
    }

    friend bool operator==(const CLargeArrayAllocator&, const CLargeArrayAllocator&) noexcept {
        return true;
    }

  private:
    static bool Large(size_t n) {
        static_assert(alignof(T) <= 64);
        return kHugePageAllocators && n >= kLargeArrayBytes / sizeof(T);
    }
};

template <class T>
using CLargeArray = std::vector<T, CLargeArrayAllocator<T>>;
