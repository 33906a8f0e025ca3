#include "analysis/causal_signal.h"

#include <cmath>

#include "analysis/series_filters.h"

namespace {

// The normalised change of one series, with the scale of its points up to `frozenAt`: the very
// operations NormaliseSeries applies to a series that ends there.
std::vector<double> FrozenChange(const CSeries& series, int32_t ml, int32_t frozenAt) {
    const size_t n = series.serials.size();
    std::vector<double> d(n);
    WeightedAverageSeries(series.serials, series.raw, d, ml);
    DifferentiateSeries(series.serials, d, d);
    double total = 0.0;
    size_t counted = 0;
    for (; counted < n && series.serials[counted] <= frozenAt; ++counted) {
        total += std::fabs(d[counted]);
    }
    const double scale = 5.0 * (total / static_cast<double>(counted));
    for (double& v : d) {
        v /= scale;
    }
    return d;
}

}  // namespace

std::vector<double> CausalSignal(const std::vector<CSeries>& sets, int32_t ml,
                                 const std::vector<double>& ratios, int32_t frozenAt) {
    const std::vector<int32_t>& dates = sets.front().serials;
    std::vector<double> signal(dates.size(), 0.0);
    for (size_t k = 0; k < sets.size(); ++k) {
        const std::vector<double> change = FrozenChange(sets[k], ml, frozenAt);
        const std::vector<int32_t>& own = sets[k].serials;
        const double ratio = ratios[k];
        const double keep = 1.0 - std::fabs(ratio);
        double carry = 0.0;
        size_t q = 0;
        for (size_t t = 0; t < dates.size(); ++t) {
            while (q < own.size() && own[q] < dates[t]) {
                ++q;
            }
            if (q < own.size() && own[q] == dates[t]) {
                carry = signal[t] * keep + change[q] * ratio;
            }
            signal[t] = carry;
        }
    }
    return signal;
}

std::vector<int32_t> HysteresisFlags(const std::vector<double>& signal, size_t first, size_t last,
                                     int32_t level) {
    std::vector<int32_t> flags(signal.size(), 0);
    const double hi = level * 0.01;
    const double lo = -(level * 0.01);
    int32_t state = 0;
    for (size_t t = first; t < last; ++t) {
        if (signal[t] > hi) {
            state = 1;
        }
        if (signal[t] < lo || std::isnan(signal[t])) {
            state = 0;
        }
        flags[t] = state;
    }
    return flags;
}
