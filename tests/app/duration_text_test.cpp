#include "app/duration_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <utility>

#include "analysis/optimiser.h"

namespace {

TEST(DurationText, CountsAreGroupedInThousands) {
    const std::pair<int64_t, const char*> rows[] = {
        {999, "999"},
        {1000, "1,000"},
        {-123456, "-123,456"},
        {std::numeric_limits<int64_t>::max(), "9,223,372,036,854,775,807"}};
    for (const auto& [n, text] : rows) {
        EXPECT_EQ(GroupedCount(n), text);
    }
}

// Each unit holds until one and a half (or two) of the next; singular only for exactly one.
TEST(DurationText, DurationsAreRoundedToTheirLargestSensibleUnit) {
    const std::pair<double, const char*> rows[] = {{0.0, "1 second"},
                                                   {40.2, "40 seconds"},
                                                   {89.0, "89 seconds"},
                                                   {90.0, "2 minutes"},
                                                   {47 * 3600.0, "47 hours"},
                                                   {9 * 86400.0, "9 days"},
                                                   {1250 * 365.25 * 86400, "1,250 years"},
                                                   {INFINITY, "a very long time"},
                                                   {1e300, "a very long time"}};
    for (const auto& [seconds, text] : rows) {
        EXPECT_EQ(RoughDuration(seconds), text) << seconds;
    }
    EXPECT_EQ(LongRunText({5213000000, 3.1 * 3600}),
              "This run has 5,213,000,000 steps and would take about 3 hours.");
}

// Before the bar moves the estimate counts down; after, the run's own pace decides.
TEST(DurationText, TimeLeftComesFromTheEstimateThenFromProgress) {
    EXPECT_EQ(TimeLeftText(5.0, 0, 0.0), "");
    EXPECT_EQ(TimeLeftText(60.0, 0, 3 * 3600.0 + 60.0), "About 3 hours left");
    EXPECT_EQ(TimeLeftText(60.0, 25, 3 * 3600.0), "About 3 minutes left");
    EXPECT_EQ(TimeLeftText(120.0, 0, 60.0), "About 1 second left");  // overrun: never negative
    EXPECT_EQ(TimeLeftText(99.0, 100, 0.0), "About 1 second left");
}

}  // namespace
