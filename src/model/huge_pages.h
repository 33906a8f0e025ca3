#pragma once

#include <cstddef>

// Memory that the kernel backs with transparent huge pages.
//
// Anonymous memory is faulted in four kilobytes at a time, each fault a trip into the kernel:
// the points and the arrays of a million-point series are some 110 MB, 27,000 faults, and the
// kernel's share of resaving such a project was two fifths. A mapping aligned to 2 MiB and
// advised as huge takes one fault per 2 MiB where the system has huge pages to give (a fault
// may then wait for the kernel to compact memory), and small pages otherwise.

inline constexpr size_t kHugePageBytes = size_t{2} << 20;

// AddressSanitizer cannot see inside our own mappings: a read past the end of a point block or
// an array there reads mapped memory. Sanitized builds keep everything on the ordinary heap,
// where it checks every access.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kHugePageAllocators = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kHugePageAllocators = false;
#else
inline constexpr bool kHugePageAllocators = true;
#endif
#else
inline constexpr bool kHugePageAllocators = true;
#endif

// A fresh zeroed mapping of `bytes` rounded up to whole huge pages, aligned to kHugePageBytes,
// or null when the system refuses it.
void* MapHugePages(size_t bytes);
// REQUIRES: `memory` and `bytes` as given to and returned by one MapHugePages.
void UnmapHugePages(void* memory, size_t bytes);
