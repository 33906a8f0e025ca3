#include "analysis/strategy_params.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

// The default record (ML 20..MU 40, RR 20, BI 10) gives 21 lengths, 43 ratios and 10 levels.
// Fewer than one data set counts as one; a resolution below 1 is stored back as 1; a flag step
// below 1 (only a file holds one) counts as 1; the count is computed in 64 bits and saturates.
TEST(StrategyParams, StepCountMultipliesLengthsRatiosLevelsAndSets) {
    struct Case {
        int32_t ml, mu, rr, bi, sets;
        int64_t steps;
    };
    for (Case c :
         {Case{20, 40, 20, 10, 1, 21 * 43 * 10}, Case{20, 40, 20, 10, 3, 3 * 21 * 43 * 10},
          Case{20, 40, 20, 10, 0, 21 * 43 * 10}, Case{30, 20, 20, 10, 1, 43 * 10},
          Case{20, 40, 0, 10, 1, 21 * 5 * 10}, Case{20, 40, INT_MIN, 10, 1, 21 * 5 * 10},
          Case{20, 40, 20, 5, 1, 21 * 43 * 20}, Case{20, 40, 20, 30, 1, 21 * 43 * 3},
          Case{20, 40, 20, INT_MAX, 1, 21 * 43}, Case{20, 40, 20, 1, 1, 21 * 43 * 100},
          Case{20, 40, 20, 0, 1, 21 * 43 * 100}, Case{20, 40, 20, INT_MIN, 1, 21 * 43 * 100},
          Case{INT_MIN, INT_MAX, 1, 100, 1, (int64_t{1} << 32) * 5},
          Case{INT_MIN, INT_MAX, INT_MAX, 1, INT_MAX, INT64_MAX}}) {
        CStrategyRange range;
        range.ML = c.ml;
        range.MU = c.mu;
        range.RR = c.rr;
        range.BI = c.bi;
        EXPECT_EQ(range.GetStepCount(c.sets), c.steps)
            << c.ml << ".." << c.mu << " RR " << c.rr << " BI " << c.bi << " sets " << c.sets;
        EXPECT_EQ(range.RR, std::max(1, c.rr));
        EXPECT_EQ(range.BI, c.bi);
    }
}

TEST(StrategyParamsFormat, TruncateDecimalsCutsTowardZero) {
    struct Case {
        double value;
        int decimals;
        double cut;
    };
    for (Case c : {Case{12.37, 1, 12.3}, Case{-12.37, 1, -12.3}, Case{3.14159, 2, 3.14},
                   Case{-7.9, 0, -7.0}, Case{0, 1, 0}}) {
        EXPECT_NEAR(TruncateDecimals(c.value, c.decimals), c.cut, 1e-9) << c.value;
    }
}

TEST(StrategyParamsFormat, FormatNumberChoosesTheFormatByMagnitude) {
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double x;
        const char* text;
    };
    for (Case c : {Case{0.0, "(0.0)"}, Case{1.0, "(1.00)"}, Case{999999.5, "(999999.50)"},
                   Case{1000000.0, "(1.0e+06)"}, Case{0.5, "(0.500)"}, Case{0.1, "(0.100)"},
                   Case{0.01, "(0.0100)"}, Case{0.001, "(0.00100)"}, Case{0.0001, "(0.000100)"},
                   Case{0.00001, "(0.0000100)"}, Case{0.000001, "(1.0e-06)"},
                   Case{-3.0, "(-3.0e+00)"}, Case{-0.5, "(-5.0e-01)"}, Case{-1234.5, "(-1.2e+03)"},
                   Case{1e308, "(1.0e+308)"}, Case{inf, "(inf)"}, Case{-inf, "(-inf)"}}) {
        EXPECT_EQ(FormatNumber(c.x), c.text) << c.x;
    }
    const std::string nan = FormatNumber(std::nan(""));
    ASSERT_GE(nan.size(), 3u);
    EXPECT_EQ(nan.front(), '(');
    EXPECT_EQ(nan.back(), ')');
}

}  // namespace
