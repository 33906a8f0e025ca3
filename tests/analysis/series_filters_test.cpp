#include "analysis/series_filters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
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
        for (size_t j = i + 1; j-- > 0 && int64_t{serials[i]} - serials[j] < length;) {
            const double weight = static_cast<double>(length - (int64_t{serials[i]} - serials[j]));
            sum += weight * values[j];
            weights += weight;
        }
        out[i] = sum / weights;
    }
    return out;
}

// Expects the filter, out of place and in place, to agree with the definition, non-finite
// results included; `scale` is the size of the terms (mixed-sign averages can cancel to nothing),
// 0 for the size of the result.
void ExpectAgrees(const std::vector<int32_t>& serials, const std::vector<double>& values,
                  int32_t days, double scale) {
    std::vector<double> fast(values.size());
    WeightedAverageSeries(serials, values, fast, days);
    const std::vector<double> direct = DirectAverage(serials, values, days);
    for (size_t i = 0; i < fast.size(); ++i) {
        if (std::isfinite(direct[i])) {
            ASSERT_NEAR(fast[i], direct[i], 1e-12 * (scale > 0 ? scale : std::fabs(direct[i])))
                << "days " << days << " point " << i;
        } else {
            ASSERT_TRUE(fast[i] == direct[i] || (std::isnan(fast[i]) && std::isnan(direct[i])))
                << "days " << days << " point " << i << ": " << fast[i] << " vs " << direct[i];
        }
    }
    std::vector<double> inPlace = values;
    WeightedAverageSeries(serials, inPlace, inPlace, days);
    ASSERT_EQ(0, std::memcmp(inPlace.data(), fast.data(), fast.size() * sizeof(double)));
}

// Random walks on trading days with weekends, holidays and occasional long gaps; lengths below
// 1 count as 1.
TEST(WeightedAverageSeries, AgreesWithTheDirectDefinition) {
    std::mt19937_64 rng(42);
    std::uniform_int_distribution<int> gap(1, 4), rare(0, 200);
    std::normal_distribution<double> step(0.0, 1.0);
    for (int32_t days : {-5, 1, 2, 3, 7, 20, 41, 200, 1000}) {
        for (bool mixedSign : {false, true}) {
            std::vector<int32_t> serials;
            std::vector<double> values;
            int32_t serial = 730500;
            double value = 1000.0;
            for (int i = 0; i < 3000; ++i) {
                serial += gap(rng) + (rare(rng) == 0 ? 90 : 0);
                value = mixedSign ? step(rng) : value * (1.0 + 0.01 * step(rng));
                serials.push_back(serial);
                values.push_back(value);
            }
            // A NaN and an infinity must only touch the averages whose window holds them.
            values[500] = std::nan("");
            values[1500] = INFINITY;
            ExpectAgrees(serials, values, days, mixedSign ? 1.0 : 0.0);
        }
    }
}

TEST(DifferentiateSeries, ChangePerCalendarDayInPlace) {
    // Friday 100, Monday 103: one unit per day over the weekend.
    const std::vector<int32_t> serials = {731000, 731003, 731004};
    std::vector<double> values = {100, 103, 101};
    DifferentiateSeries(serials, values, values);
    EXPECT_EQ(values, (std::vector<double>{0.0, 1.0, -2.0}));
}

TEST(NormaliseSeries, MeanAbsoluteSizeBecomesOneFifth) {
    std::vector<double> values = {1, -3, 0, 4};
    NormaliseSeries(values, values);
    EXPECT_EQ(values, (std::vector<double>{0.1, -0.3, 0, 0.4}));
    std::vector<double> flat = {0, 0};  // nothing to normalise by
    NormaliseSeries(flat, flat);
    EXPECT_TRUE(std::isnan(flat[0]) && std::isnan(flat[1]));
    NormaliseSeries({}, {});
}

}  // namespace
