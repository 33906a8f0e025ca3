// Benchmarks of where the points live: the huge-page arena against the ordinary heap.

#include <benchmark/benchmark.h>

#include <deque>
#include <memory>
#include <vector>

#include "model/data_set.h"
#include "model/point_allocator.h"

namespace {

// A deque block of points taken and given back, a thousand at a time, once everything is faulted
// in: the price of the arena's lock against malloc's. With two threads they contend for it.
template <class Allocator>
void BM_PointBlocks(benchmark::State& state) {
    Allocator allocator;
    constexpr size_t kPerBlock = kPointBlockBytes / sizeof(CDataPoint);
    std::vector<CDataPoint*> blocks(1000);
    for (auto _ : state) {
        for (CDataPoint*& block : blocks) {
            block = allocator.allocate(kPerBlock);
            benchmark::DoNotOptimize(block);
        }
        for (CDataPoint* block : blocks) {
            allocator.deallocate(block, kPerBlock);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(blocks.size()));
}
BENCHMARK(BM_PointBlocks<CPointAllocator<CDataPoint>>)->Threads(1)->Threads(2);
BENCHMARK(BM_PointBlocks<std::allocator<CDataPoint>>)->Threads(1)->Threads(2);

// A million points appended and dropped again: the arena maps, faults in and returns its huge
// pages every time, while the heap may keep what it faulted in between iterations.
template <class Deque>
void BM_AppendMillionPoints(benchmark::State& state) {
    CDataPoint point;
    for (auto _ : state) {
        Deque points;
        for (int32_t i = 0; i < 1'000'000; ++i) {
            point.m_serial = i;
            points.push_back(point);
        }
        benchmark::DoNotOptimize(points.back());
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_AppendMillionPoints<CPointDeque>)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AppendMillionPoints<std::deque<CDataPoint>>)->Unit(benchmark::kMillisecond);

}  // namespace
