#include "analysis/potential_gains.h"

#include "analysis/series_filters.h"
#include "model/data_set.h"

void ComputePotentialGains(CDataSet& ds) {
    SmoothRaw(ds, ds.m_params.ML);
    const CLimits& window = ds.Window();
    const auto& points = ds.Points();
    const double days = static_cast<double>(window.DayCount());
    const auto [first, last] = ds.PointsInside(window);
    // An empty window leaves the first values at 0, so the figures become non-finite.
    double raw0 = 0.0;
    double smooth0 = 0.0;
    double rawRise = 0.0, rawFall = 0.0, smoothRise = 0.0, smoothFall = 0.0;
    for (size_t i = first; i < last; ++i) {
        const CDataPoint& p = points[i];
        if (i == first) {
            raw0 = p.GetValue(Raw);
            smooth0 = p.GetValue(Smooth);
            // The first point's own change counts as 0, a fall by the rule below.
            continue;
        }
        const CDataPoint& q = points[i - 1];
        double rawChange = p.GetValue(Raw) - q.GetValue(Raw);
        double smoothChange = p.GetValue(Smooth) - q.GetValue(Smooth);
        (rawChange > 0 ? rawRise : rawFall) += rawChange;
        (smoothChange > 0 ? smoothRise : smoothFall) += smoothChange;
    }
    ds.m_gains[RawRises] = rawRise / raw0 * 36525.0 / days;
    ds.m_gains[RawFalls] = rawFall / raw0 * 36525.0 / days;
    ds.m_gains[SmoothRises] = smoothRise / smooth0 * 36525.0 / days;
    ds.m_gains[SmoothFalls] = smoothFall / smooth0 * 36525.0 / days;
}
