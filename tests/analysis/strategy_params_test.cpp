#include "analysis/strategy_params.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

namespace {

// The default record (ML 20..MU 40, RR 20, BI 10) gives 21 lengths, 43 ratios and 10 levels.
// Fewer than one data set counts as one; a resolution below 1 is stored back as 1; a flag step
// below 1 (only a file holds one) counts as 1; the count is computed in 64 bits and saturates.
TEST(StrategyParams, StepCountMultipliesLengthsRatiosLevelsAndSets) {
    using Case = std::tuple<int32_t, int32_t, int32_t, int32_t, int, int64_t>;
    for (auto [ml, mu, rr, bi, sets, steps] :
         {Case{20, 40, 20, 10, 1, 21 * 43 * 10}, Case{20, 40, 20, 10, 3, 3 * 21 * 43 * 10},
          Case{20, 40, 20, 10, 0, 21 * 43 * 10}, Case{30, 20, 20, 10, 1, 43 * 10},
          Case{20, 40, INT_MIN, 10, 1, 21 * 5 * 10}, Case{20, 40, 20, 5, 1, 21 * 43 * 20},
          Case{20, 40, 20, 30, 1, 21 * 43 * 3}, Case{20, 40, 20, INT_MAX, 1, 21 * 43},
          Case{20, 40, 20, 1, 1, 21 * 43 * 100}, Case{20, 40, 20, INT_MIN, 1, 21 * 43 * 100},
          Case{INT_MIN, INT_MAX, 1, 100, 1, (int64_t{1} << 32) * 5},
          Case{INT_MIN, INT_MAX, INT_MAX, 1, INT_MAX, INT64_MAX}}) {
        CStrategyRange range;
        range.ML = ml;
        range.MU = mu;
        range.RR = rr;
        range.BI = bi;
        EXPECT_EQ(range.GetStepCount(sets), steps)
            << ml << ".." << mu << " RR " << rr << " BI " << bi << " sets " << sets;
        EXPECT_EQ(range.RR, std::max(1, rr));
        EXPECT_EQ(range.BI, bi);
    }
}

TEST(StrategyParamsFormat, TruncateDecimalsCutsTowardZero) {
    using Case = std::tuple<double, int, double>;
    for (auto [value, decimals, cut] :
         {Case{12.37, 1, 12.3}, Case{-12.37, 1, -12.3}, Case{3.14159, 2, 3.14}, Case{-7.9, 0, -7.0},
          Case{0, 1, 0}}) {
        EXPECT_NEAR(TruncateDecimals(value, decimals), cut, 1e-9) << value;
    }
}

TEST(StrategyParamsFormat, FormatNumberChoosesTheFormatByMagnitude) {
    const double inf = std::numeric_limits<double>::infinity();
    using Case = std::pair<double, const char*>;
    for (auto [x, text] :
         {Case{0.0, "(0.0)"}, Case{1.0, "(1.00)"}, Case{999999.5, "(999999.50)"},
          Case{1000000.0, "(1.0e+06)"}, Case{0.5, "(0.500)"}, Case{0.1, "(0.100)"},
          Case{0.01, "(0.0100)"}, Case{0.001, "(0.00100)"}, Case{0.0001, "(0.000100)"},
          Case{0.00001, "(0.0000100)"}, Case{0.000001, "(1.0e-06)"}, Case{-3.0, "(-3.0e+00)"},
          Case{-0.5, "(-5.0e-01)"}, Case{-1234.5, "(-1.2e+03)"}, Case{1e308, "(1.0e+308)"},
          Case{inf, "(inf)"}, Case{-inf, "(-inf)"}}) {
        EXPECT_EQ(FormatNumber(x), text) << x;
    }
    const std::string nan = FormatNumber(std::nan(""));
    EXPECT_TRUE(nan.size() >= 3 && nan.front() == '(' && nan.back() == ')') << nan;
}

}  // namespace
