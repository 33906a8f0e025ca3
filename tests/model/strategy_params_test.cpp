#include "model/strategy_params.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <tuple>

namespace {

// The default record (ML 20..MU 40, RR 20, BI 10) gives 21 lengths, 43 ratios and 10 levels.
// Fewer than one data set counts as one; a resolution or a flag step below 1 (only a file holds
// one) counts as 1 and the record is left as it was; the count is computed in 64 bits and
// saturates.
TEST(StrategyParams, StepCountMultipliesLengthsRatiosLevelsAndSets) {
    using Case = std::tuple<int32_t, int32_t, int32_t, int32_t, int, int64_t>;
    for (auto [ml, mu, rr, bi, sets, steps] :
         {Case{20, 40, 20, 10, 3, 3 * 21 * 43 * 10}, Case{20, 40, 20, 10, 0, 21 * 43 * 10},
          Case{30, 20, 20, 10, 1, 43 * 10}, Case{20, 40, INT_MIN, 10, 1, 21 * 5 * 10},
          Case{20, 40, 20, 30, 1, 21 * 43 * 3}, Case{20, 40, 20, INT_MAX, 1, 21 * 43},
          Case{20, 40, 20, INT_MIN, 1, 21 * 43 * 100},
          Case{INT_MIN, INT_MAX, 1, 100, 1, (int64_t{1} << 32) * 5},
          Case{INT_MIN, INT_MAX, INT_MAX, 1, INT_MAX, INT64_MAX}}) {
        CStrategyRange range{.ML = ml, .MU = mu, .RR = rr, .BI = bi};
        EXPECT_EQ(range.GetStepCount(sets), steps)
            << ml << ".." << mu << " RR " << rr << " BI " << bi << " sets " << sets;
        EXPECT_EQ(std::tuple(range.RR, range.BI), std::tuple(rr, bi));
    }
}

}  // namespace
