#include "model/large_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>

namespace {

TEST(LargeArrayTest, HugePageMappingsAreAlignedAndWholePages) {
    char* memory = static_cast<char*>(MapHugePages(kHugePageBytes + 1));
    ASSERT_NE(memory, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(memory) % kHugePageBytes, 0u);
    // Rounded up to whole huge pages, and zeroed.
    EXPECT_EQ(memory[2 * kHugePageBytes - 1], 0);
    memory[2 * kHugePageBytes - 1] = 1;
    UnmapHugePages(memory, kHugePageBytes + 1);
}

TEST(LargeArrayTest, ArraysEitherSideOfTheThresholdHoldTheirValues) {
    for (size_t count : {kLargeArrayBytes / sizeof(double) - 1, kLargeArrayBytes / sizeof(double),
                         size_t{3'000'001}}) {
        CLargeArray<double> values(count);
        if (kHugePageAllocators && count * sizeof(double) >= kLargeArrayBytes) {
            EXPECT_EQ(reinterpret_cast<uintptr_t>(values.data()) % 64, 0u);
        }
        std::iota(values.begin(), values.end(), 0.0);
        values.push_back(-1.0);  // regrows, copying every value
        EXPECT_EQ(values[count - 1], double(count - 1));
        EXPECT_EQ(values.back(), -1.0);
        EXPECT_EQ(std::accumulate(values.begin(), values.end() - 1, 0.0),
                  double(count) * double(count - 1) / 2);
    }
}

}  // namespace
