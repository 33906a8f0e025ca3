#include "analysis/strategy_params.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

namespace {

// The default record (ML 20..MU 40, RR 20, BI 10) gives 21 lengths, 43 ratios and 10 levels;
// the project writer's tests check the defaults themselves.
TEST(StrategyParams, StepCountMultipliesLengthsRatiosLevelsAndSets) {
    CStrategyRange range;
    EXPECT_EQ(range.GetStepCount(1), 21 * 43 * 10);
    EXPECT_EQ(range.GetStepCount(3), 3 * 21 * 43 * 10);

    // Fewer than one data set still counts as one.
    EXPECT_EQ(range.GetStepCount(0), 21 * 43 * 10);
    EXPECT_EQ(range.GetStepCount(-4), 21 * 43 * 10);

    range.ML = 30;
    range.MU = 20;
    EXPECT_EQ(range.GetStepCount(1), 1 * 43 * 10);
}

TEST(StrategyParams, StepCountStoresAResolutionBelowOneAsOne) {
    for (int32_t rr : {0, -7, INT_MIN}) {
        CStrategyRange range;
        range.RR = rr;
        EXPECT_EQ(range.GetStepCount(1), 21 * 5 * 10) << "RR " << rr;
        EXPECT_EQ(range.RR, 1) << "RR " << rr;
    }
}

TEST(StrategyParams, StepCountFlagLevels) {
    struct Case {
        int32_t bi;
        int64_t levels;
    };
    // A step below 1 can only come from a file; it counts as a step of 1.
    for (Case c : {Case{5, 20}, Case{30, 3}, Case{100, 1}, Case{200, 1}, Case{INT_MAX, 1},
                   Case{1, 100}, Case{0, 100}, Case{-10, 100}, Case{INT_MIN, 100}}) {
        CStrategyRange range;
        range.BI = c.bi;
        EXPECT_EQ(range.GetStepCount(1), 21 * 43 * c.levels) << "BI " << c.bi;
        EXPECT_EQ(range.BI, c.bi);
    }
}

TEST(StrategyParams, StepCountIsComputedIn64BitsAndSaturates) {
    CStrategyRange wide;
    wide.ML = INT_MIN;
    wide.MU = INT_MAX;
    wide.RR = 1;
    wide.BI = 100;
    EXPECT_EQ(wide.GetStepCount(1), (int64_t{1} << 32) * 5);

    CStrategyRange absurd;
    absurd.ML = INT_MIN;
    absurd.MU = INT_MAX;
    absurd.RR = INT_MAX;
    absurd.BI = 1;
    EXPECT_EQ(absurd.GetStepCount(INT_MAX), std::numeric_limits<int64_t>::max());
}

TEST(StrategyParamsFormat, TruncateDecimalsCutsTowardZero) {
    struct Case {
        double value;
        int decimals;
        double cut;
    };
    for (Case c : {Case{12.37, 1, 12.3}, Case{-12.37, 1, -12.3}, Case{12.39, 1, 12.3},
                   Case{3.14159, 2, 3.14}, Case{7.9, 0, 7.0}, Case{-7.9, 0, -7.0}, Case{0, 1, 0}}) {
        EXPECT_NEAR(TruncateDecimals(c.value, c.decimals), c.cut, 1e-9) << c.value;
    }
}

TEST(StrategyParamsFormat, FormatNumberChoosesTheFormatByMagnitude) {
    struct Case {
        double x;
        const char* text;
    };
    for (Case c :
         {Case{0.0, "(0.0)"}, Case{1.0, "(1.00)"}, Case{1234.5, "(1234.50)"},
          Case{999999.5, "(999999.50)"}, Case{1000000.0, "(1.0e+06)"}, Case{0.5, "(0.500)"},
          Case{0.1, "(0.100)"}, Case{0.01, "(0.0100)"}, Case{0.001, "(0.00100)"},
          Case{0.0001, "(0.000100)"}, Case{0.00001, "(0.0000100)"}, Case{0.000001, "(1.0e-06)"},
          Case{-3.0, "(-3.0e+00)"}, Case{-0.5, "(-5.0e-01)"}, Case{-1234.5, "(-1.2e+03)"},
          Case{1e308, "(1.0e+308)"}}) {
        EXPECT_EQ(FormatNumber(c.x), c.text) << c.x;
    }
}

TEST(StrategyParamsFormat, FormatNumberOfNonFiniteValues) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatNumber(inf), "(inf)");
    EXPECT_EQ(FormatNumber(-inf), "(-inf)");
    std::string nan = FormatNumber(std::nan(""));
    ASSERT_GE(nan.size(), 3u);
    EXPECT_EQ(nan.front(), '(');
    EXPECT_EQ(nan.back(), ')');
}

}  // namespace
