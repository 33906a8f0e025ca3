#include "model/point_allocator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <latch>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "model/data_set.h"

namespace {

// Fills a block with a pattern only its owner writes, so that two owners of one block show.
void Stamp(void* block, uint64_t owner) {
    std::fill_n(static_cast<uint64_t*>(block), kPointBlockBytes / sizeof(uint64_t), owner);
}

bool Stamped(const void* block, uint64_t owner) {
    const auto* words = static_cast<const uint64_t*>(block);
    return std::all_of(words, words + kPointBlockBytes / sizeof(uint64_t),
                       [owner](uint64_t w) { return w == owner; });
}

CDataPoint PointAt(int32_t serial) {
    CDataPoint p;
    p.SetSerial(serial);
    p.SetValue(Raw, serial * 0.5);
    return p;
}

TEST(PointArenaTest, ArenasAreReusedAndGoBackToTheSystemWhenEmptyButOne) {
    // Earlier tests in this process may have left the one kept empty arena.
    ASSERT_LE(PointArenaCount(), 1u);
    void* first = AllocatePointBlock();
    FreePointBlock(first);
    void* again = AllocatePointBlock();
    EXPECT_EQ(again, first);
    EXPECT_EQ(PointArenaCount(), 1u);
    FreePointBlock(again);

    std::vector<void*> blocks(3 * kPointBlocksPerArena + 1);
    for (size_t i = 0; i < blocks.size(); ++i) {
        blocks[i] = AllocatePointBlock();
        ASSERT_EQ(reinterpret_cast<uintptr_t>(blocks[i]) % kPointBlockBytes, 0u);
        Stamp(blocks[i], i);
    }
    EXPECT_EQ(PointArenaCount(), 4u);
    for (size_t i = 0; i < blocks.size(); ++i) {
        ASSERT_TRUE(Stamped(blocks[i], i)) << "block " << i << " was handed out twice";
    }

    // Freeing every other block empties no arena; the freed blocks are handed out again
    // before any new arena is mapped.
    for (size_t i = 0; i < blocks.size(); i += 2) {
        FreePointBlock(blocks[i]);
    }
    EXPECT_EQ(PointArenaCount(), 4u);
    std::set<void*> freed;
    for (size_t i = 0; i < blocks.size(); i += 2) {
        freed.insert(blocks[i]);
    }
    for (size_t i = 0; i < blocks.size(); i += 2) {
        blocks[i] = AllocatePointBlock();
        EXPECT_EQ(freed.count(blocks[i]), 1u);
    }
    EXPECT_EQ(PointArenaCount(), 4u);

    for (void* block : blocks) {
        FreePointBlock(block);
    }
    EXPECT_EQ(PointArenaCount(), 1u);
}

TEST(PointArenaTest, ThreadsAllocatingAndFreeingTogetherNeverShareABlock) {
    constexpr int kThreads = 4;
    constexpr size_t kHeld = kPointBlocksPerArena + 100;  // each thread spans arenas
    std::vector<int> failures(kThreads, 0);
    std::latch start(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &failures, &start] {
            std::vector<void*> held;
            start.arrive_and_wait();
            for (int round = 0; round < 200; ++round) {
                // Blocks are taken in a tight loop, so that the threads meet at the arena, and
                // stamped only afterwards.
                const size_t kept = held.size();
                while (held.size() < kHeld) {
                    held.push_back(AllocatePointBlock());
                }
                for (size_t i = kept; i < held.size(); ++i) {
                    Stamp(held[i], uint64_t(t) << 32 | i);
                }
                for (size_t i = 0; i < held.size(); ++i) {
                    failures[size_t(t)] += Stamped(held[i], uint64_t(t) << 32 | i) ? 0 : 1;
                }
                // Give back the newer half, so that arenas fill and empty under each other.
                while (held.size() > kHeld / 2 - size_t(round % 50)) {
                    FreePointBlock(held.back());
                    held.pop_back();
                }
            }
            for (void* block : held) {
                FreePointBlock(block);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
    EXPECT_EQ(PointArenaCount(), 1u);
}

TEST(PointArenaTest, DequeGrowsAtBothEndsWithoutMovingPointsAndCopiesByValue) {
    {
        CPointDeque points;
        points.push_back(PointAt(0));
        const CDataPoint* first = &points.front();
        for (int32_t i = 1; i <= 100'000; ++i) {
            points.push_back(PointAt(i));
            points.push_front(PointAt(-i));
        }
        EXPECT_EQ(first, &points[100'000]);  // the map grew many times; the points stayed
        EXPECT_EQ(first->m_serial, 0);
        if (kHugePageAllocators) {
            EXPECT_GE(PointArenaCount(),
                      200'001 * sizeof(CDataPoint) / (kPointBlocksPerArena * kPointBlockBytes));
        }

        CPointDeque copy = points;
        ASSERT_EQ(copy.size(), points.size());
        for (size_t i = 0; i < copy.size(); ++i) {
            ASSERT_EQ(copy[i].m_serial, int32_t(i) - 100'000);
            ASSERT_EQ(copy[i].GetValue(Raw), points[i].GetValue(Raw));
        }
        copy[5].SetValue(Raw, -1.0);
        EXPECT_NE(points[5].GetValue(Raw), -1.0);

        // Moving hands the blocks over.
        CPointDeque moved = std::move(points);
        EXPECT_EQ(&moved[100'000], first);
    }
    EXPECT_LE(PointArenaCount(), 1u);
}

TEST(PointArenaTest, ThreadsCopyingOneSetGetEqualIndependentCopies) {
    // The walk-forward run copies the user's points on a worker while others run.
    CPointDeque shared;
    for (int32_t i = 0; i < 30'000; ++i) {
        shared.push_back(PointAt(i));
    }
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < mismatches.size(); ++t) {
        threads.emplace_back([t, &shared, &mismatches] {
            for (int round = 0; round < 10; ++round) {
                CPointDeque copy(shared.begin(), shared.end() - round * 1000);
                for (CDataPoint& p : copy) {
                    p.SetValue(Net, double(t));
                }
                for (size_t i = 0; i < copy.size(); ++i) {
                    mismatches[t] +=
                        copy[i].m_serial == shared[i].m_serial && copy[i].GetValue(Net) == double(t)
                            ? 0
                            : 1;
                }
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
    for (const CDataPoint& p : shared) {
        ASSERT_EQ(p.GetValue(Net), 0.0);
    }
}

}  // namespace
