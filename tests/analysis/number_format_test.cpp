#include "analysis/number_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <tuple>
#include <utility>

namespace {

TEST(NumberFormat, TruncateDecimalsCutsTowardZero) {
    using Case = std::tuple<double, int, double>;
    for (auto [value, decimals, cut] :
         {Case{12.37, 1, 12.3}, Case{-12.37, 1, -12.3}, Case{-7.9, 0, -7.0}}) {
        EXPECT_NEAR(TruncateDecimals(value, decimals), cut, 1e-9) << value;
    }
}

TEST(NumberFormat, FormatNumberChoosesTheFormatByMagnitude) {
    const double inf = std::numeric_limits<double>::infinity();
    using Case = std::pair<double, const char*>;
    for (auto [x, text] :
         {Case{0.0, "(0.0)"}, Case{1.0, "(1.00)"}, Case{999999.5, "(999999.50)"},
          Case{1000000.0, "(1.0e+06)"}, Case{0.1, "(0.100)"}, Case{0.01, "(0.0100)"},
          Case{0.00001, "(0.0000100)"}, Case{0.000001, "(1.0e-06)"}, Case{-0.5, "(-5.0e-01)"},
          Case{-1234.5, "(-1.2e+03)"}, Case{inf, "(inf)"}, Case{-inf, "(-inf)"}}) {
        EXPECT_EQ(FormatNumber(x), text) << x;
    }
    const std::string nan = FormatNumber(std::nan(""));
    EXPECT_TRUE(nan.size() >= 3 && nan.front() == '(' && nan.back() == ')') << nan;
}

}  // namespace
