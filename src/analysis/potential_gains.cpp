#include "analysis/potential_gains.h"

#include <cstdint>

#include "analysis/series_filters.h"
#include "model/data_set.h"
#include "model/large_array.h"

void ComputePotentialGains(CDataSet& ds) {
    // The smoothing as SmoothRaw does it, on arrays: the points are read once and written once.
    const auto& points = ds.Points();
    CLargeArray<int32_t> serials(points.size());
    CLargeArray<double> raw(points.size());
    size_t k = 0;
    for (const CDataPoint& p : points) {
        serials[k] = p.m_serial;
        raw[k++] = p.GetValue(Raw);
    }
    CLargeArray<double> smooth(points.size());
    WeightedAverageSeries(serials, raw, smooth, ds.m_params.ML);
    k = 0;
    for (CDataPoint& p : ds.MutablePoints()) {
        p.SetValue(Smooth, smooth[k++]);
    }
    const CLimits& window = ds.Window();
    const double days = static_cast<double>(window.DayCount());
    const auto [first, last] = ds.PointsInside(window);
    // An empty window leaves the first values at 0, so the figures become non-finite.
    double raw0 = 0.0;
    double smooth0 = 0.0;
    double rawRise = 0.0, rawFall = 0.0, smoothRise = 0.0, smoothFall = 0.0;
    for (size_t i = first; i < last; ++i) {
        if (i == first) {
            raw0 = raw[i];
            smooth0 = smooth[i];
            // The first point's own change counts as 0, a fall by the rule below.
            continue;
        }
        double rawChange = raw[i] - raw[i - 1];
        double smoothChange = smooth[i] - smooth[i - 1];
        (rawChange > 0 ? rawRise : rawFall) += rawChange;
        (smoothChange > 0 ? smoothRise : smoothFall) += smoothChange;
    }
    ds.m_gains[RawRises] = rawRise / raw0 * 36525.0 / days;
    ds.m_gains[RawFalls] = rawFall / raw0 * 36525.0 / days;
    ds.m_gains[SmoothRises] = smoothRise / smooth0 * 36525.0 / days;
    ds.m_gains[SmoothFalls] = smoothFall / smooth0 * 36525.0 / days;
}
