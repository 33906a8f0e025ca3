#include "model/point_allocator.h"

#include <cstdint>
#include <mutex>
#include <new>

#include "model/huge_pages.h"

namespace {

// One huge page, so that the kernel backs an arena with a single page on its first touch.
constexpr size_t kArenaBytes = kHugePageBytes;

// Kept in the arena's first block. Arenas are aligned to their size, so a block finds its arena
// by clearing the low bits of its address.
struct CArena {
    CArena* prev;  // in the list of arenas with room
    CArena* next;
    void* freed;         // freed blocks, each holding the address of the next
    uint32_t untouched;  // index of the first block never handed out since the arena was empty
    uint32_t live;       // blocks handed out and not freed
    bool mapped;         // by mmap, else by operator new
};
static_assert(sizeof(CArena) <= kPointBlockBytes);

// One lock for all arenas: a block is taken or given back in a few instructions under it, and
// threads seldom want points at the same moment (a walk-forward worker copying the user's).
std::mutex g_mutex;
CArena* g_open = nullptr;   // arenas with room, the one being filled first
CArena* g_spare = nullptr;  // an empty arena kept so that a set that grows and shrinks by a
                            // block around a boundary does not map and unmap an arena each time
size_t g_arenaCount = 0;

CArena* NewArena() {
    void* memory = MapHugePages(kArenaBytes);
    const bool mapped = memory != nullptr;
    if (!mapped) {
        memory = ::operator new (kArenaBytes, std::align_val_t{kArenaBytes});
    }
    ++g_arenaCount;
    return new (memory) CArena{nullptr, nullptr, nullptr, 1, 0, mapped};
}

void Release(CArena* arena) {
    --g_arenaCount;
    if (arena->mapped) {
        UnmapHugePages(arena, kArenaBytes);
    } else {
        ::operator delete (arena, std::align_val_t{kArenaBytes});
    }
}

void LinkFirst(CArena* arena) {
    arena->prev = nullptr;
    arena->next = g_open;
    if (g_open != nullptr) {
        g_open->prev = arena;
    }
    g_open = arena;
}

void Unlink(CArena* arena) {
    if (arena->prev != nullptr) {
        arena->prev->next = arena->next;
    } else {
        g_open = arena->next;
    }
    if (arena->next != nullptr) {
        arena->next->prev = arena->prev;
    }
}

CArena* ArenaOf(void* block) {
    return reinterpret_cast<CArena*>(reinterpret_cast<uintptr_t>(block) & ~(kArenaBytes - 1));
}

}  // namespace

void* AllocatePointBlock() {
    std::lock_guard lock(g_mutex);
    // Partly used arenas fill up before the spare is touched, so that arenas can empty.
    if (g_open == nullptr) {
        LinkFirst(g_spare != nullptr ? g_spare : NewArena());
        g_spare = nullptr;
    }
    CArena* arena = g_open;
    void* block = arena->freed;
    if (block != nullptr) {
        arena->freed = *static_cast<void**>(block);
    } else {
        block = reinterpret_cast<char*>(arena) + size_t{arena->untouched++} * kPointBlockBytes;
    }
    if (++arena->live == kPointBlocksPerArena) {
        Unlink(arena);
    }
    return block;
}

void FreePointBlock(void* block) {
    CArena* arena = ArenaOf(block);
    std::lock_guard lock(g_mutex);
    if (arena->live-- == kPointBlocksPerArena) {
        LinkFirst(arena);
    }
    if (arena->live > 0) {
        *static_cast<void**>(block) = arena->freed;
        arena->freed = block;
        return;
    }
    Unlink(arena);
    if (g_spare != nullptr) {
        Release(arena);
        return;
    }
    // Starting over hands the blocks out in address order again.
    arena->freed = nullptr;
    arena->untouched = 1;
    g_spare = arena;
}

size_t PointArenaCount() {
    std::lock_guard lock(g_mutex);
    return g_arenaCount;
}
