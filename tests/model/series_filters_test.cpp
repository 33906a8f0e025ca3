#include "model/series_filters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// The average as defined, point by point over the whole history: the reference the linear-time
// filter must agree with.
std::vector<double> DirectAverage(const std::vector<int32_t>& serials,
                                  const std::vector<double>& values, int32_t days) {
    const int64_t length = std::max(days, 1);
    std::vector<double> out(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        double sum = 0.0;
        double weights = 0.0;
        for (size_t j = i + 1; j-- > 0;) {
            int64_t age = int64_t{serials[i]} - serials[j];
            if (age >= length) {
                break;
            }
            sum += static_cast<double>(length - age) * values[j];
            weights += static_cast<double>(length - age);
        }
        out[i] = sum / weights;
    }
    return out;
}

struct Series {
    std::vector<int32_t> serials;
    std::vector<double> values;
};

// A random walk on trading days with weekends, holidays and occasional long gaps.
Series RandomSeries(std::mt19937_64& rng, size_t count, double start, bool mixedSign) {
    Series s;
    std::uniform_int_distribution<int> gap(1, 4);
    std::uniform_int_distribution<int> rare(0, 200);
    std::normal_distribution<double> step(0.0, 1.0);
    int32_t serial = 730500;
    double value = start;
    for (size_t i = 0; i < count; ++i) {
        serial += gap(rng) + (rare(rng) == 0 ? 90 : 0);
        value = mixedSign ? step(rng) : value * (1.0 + 0.01 * step(rng));
        s.serials.push_back(serial);
        s.values.push_back(value);
    }
    return s;
}

TEST(WeightedAverageSeries, AgreesWithTheDirectDefinition) {
    std::mt19937_64 rng(42);
    for (int32_t days : {1, 2, 3, 7, 20, 41, 200, 1000}) {
        for (bool mixedSign : {false, true}) {
            Series s = RandomSeries(rng, 3000, 1000.0, mixedSign);
            std::vector<double> fast(s.values.size());
            WeightedAverageSeries(s.serials, s.values, fast, days);
            std::vector<double> direct = DirectAverage(s.serials, s.values, days);
            for (size_t i = 0; i < fast.size(); ++i) {
                // Mixed-sign averages can cancel to nothing: compare against the size of the
                // terms, not the size of the result.
                double scale = mixedSign ? 1.0 : std::fabs(direct[i]);
                ASSERT_NEAR(fast[i], direct[i], 1e-12 * scale) << "days " << days << " point " << i;
            }
        }
    }
}

TEST(WeightedAverageSeries, WorkedExamples) {
    std::vector<int32_t> daily = {10, 11, 12};
    std::vector<double> values = {1, 2, 3};
    std::vector<double> out(3);
    WeightedAverageSeries(daily, values, out, 1);
    EXPECT_EQ(out, values);
    WeightedAverageSeries(daily, values, out, 3);
    EXPECT_DOUBLE_EQ(out[0], 1.0);
    EXPECT_DOUBLE_EQ(out[1], (2.0 * 3 + 1.0 * 2) / 5);
    EXPECT_DOUBLE_EQ(out[2], 14.0 / 6);

    // A missing day leaves its weight out.
    std::vector<int32_t> gap = {10, 12};
    std::vector<double> two = {1, 3};
    std::vector<double> out2(2);
    WeightedAverageSeries(gap, two, out2, 3);
    EXPECT_DOUBLE_EQ(out2[1], 2.5);

    // Lengths below 1 count as 1.
    WeightedAverageSeries(daily, values, out, -5);
    EXPECT_EQ(out, values);
}

TEST(WeightedAverageSeries, InPlaceGivesTheSameAsSeparateArrays) {
    std::mt19937_64 rng(7);
    Series s = RandomSeries(rng, 500, 50.0, false);
    std::vector<double> separate(s.values.size());
    WeightedAverageSeries(s.serials, s.values, separate, 15);
    WeightedAverageSeries(s.serials, s.values, s.values, 15);
    EXPECT_EQ(separate, s.values);
}

TEST(WeightedAverageSeries, NonFiniteValuesOnlyTouchTheirOwnWindow) {
    std::vector<int32_t> serials;
    std::vector<double> values;
    for (int32_t i = 0; i < 40; ++i) {
        serials.push_back(1000 + i);
        values.push_back(10.0 + i);
    }
    values[5] = std::nan("");
    values[20] = INFINITY;
    std::vector<double> out(values.size());
    WeightedAverageSeries(serials, values, out, 4);
    std::vector<double> direct = DirectAverage(serials, values, 4);
    for (size_t i = 0; i < out.size(); ++i) {
        if (std::isnan(direct[i])) {
            EXPECT_TRUE(std::isnan(out[i])) << i;
        } else if (std::isinf(direct[i])) {
            EXPECT_EQ(out[i], direct[i]) << i;
        } else {
            EXPECT_NEAR(out[i], direct[i], 1e-12 * std::fabs(direct[i])) << i;
        }
    }
    EXPECT_TRUE(std::isnan(out[8]));
    EXPECT_FALSE(std::isnan(out[9]));  // the NaN has left the 4-day window
    EXPECT_EQ(out[23], INFINITY);
    EXPECT_TRUE(std::isfinite(out[24]));
}

TEST(DifferentiateSeries, ChangePerCalendarDay) {
    // Friday 100, Monday 103: one unit per day over the weekend.
    std::vector<int32_t> serials = {731000, 731003, 731004};
    std::vector<double> values = {100, 103, 101};
    std::vector<double> out(3);
    DifferentiateSeries(serials, values, out);
    EXPECT_EQ(out, (std::vector<double>{0.0, 1.0, -2.0}));
    DifferentiateSeries(serials, values, values);
    EXPECT_EQ(values, out);
}

TEST(NormaliseSeries, MeanAbsoluteSizeBecomesOneFifth) {
    std::vector<double> values = {1, -3, 0, 4};
    NormaliseSeries(values, values);
    double meanAbs = 0.0;
    for (double v : values) {
        meanAbs += std::fabs(v) / 4;
    }
    EXPECT_DOUBLE_EQ(meanAbs, 0.2);
    EXPECT_DOUBLE_EQ(values[1], -3.0 / 10.0);

    std::vector<double> flat = {0, 0, 0};
    NormaliseSeries(flat, flat);
    for (double v : flat) {
        EXPECT_TRUE(std::isnan(v));
    }
    std::vector<double> empty;
    NormaliseSeries(empty, empty);
}

}  // namespace
