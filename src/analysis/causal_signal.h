#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One data set's series as arrays: serials strictly increasing, raw values beside them.
struct CSeries {
    std::vector<int32_t> serials;
    std::vector<double> raw;
};

// The strategy's signal on the primary's points (the first series) as a trader had it on each
// day: every series is smoothed over `ml` days and differentiated (both use only earlier days),
// its change is divided by five times the mean absolute change of its points up to
// `frozenAt` (and no later ones), and the changes are blended in list order with `ratios`, one
// per series. A primary date on which a series has no point repeats the value blended on the
// primary's previous date (0 before the first), so no value depends on a later point.
// REQUIRES: ratios.size() == sets.size() >= 1.
std::vector<double> CausalSignal(const std::vector<CSeries>& sets, int32_t ml,
                                 const std::vector<double>& ratios, int32_t frozenAt);

// Market flags from `signal` over [first, last) with a hysteresis band of +-level %: in above
// the band's top, out below its bottom or where the signal is not a number, else as the day
// before; the state before `first` is out. Flags outside the range are 0.
std::vector<int32_t> HysteresisFlags(const std::vector<double>& signal, size_t first, size_t last,
                                     int32_t level);
