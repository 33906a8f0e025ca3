#include "analysis/simulation.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <deque>
#include <span>
#include <utility>
#include <vector>

#include "analysis/investment.h"
#include "analysis/series_filters.h"
#include "analysis/status_sink.h"
#include "model/data_set.h"
#include "model/large_array.h"
#include "model/project.h"

namespace {

// The hysteresis band of the flags, one point after the other.
class CBand {
  public:
    // Negated after the product: the level may be the lowest int, which has no negative.
    explicit CBand(int32_t level) : m_hi(level * 0.01), m_lo(-(level * 0.01)) {}

    int32_t Next(double signal) {
        if (signal > m_hi) {
            m_state = 1;
        }
        if (signal < m_lo || std::isnan(signal)) {
            m_state = 0;
        }
        return m_state;
    }

  private:
    double m_hi;
    double m_lo;
    int32_t m_state = 0;
};

// Blend on arrays: `signal` gets one value per target serial. It may be `base` itself: each
// value is read before its place is written.
void BlendSeries(std::span<const int32_t> targetSerials, std::span<const double> base,
                 std::span<const int32_t> sourceSerials, std::span<const double> diff, double ratio,
                 std::span<double> signal) {
    const size_t n = targetSerials.size();
    const size_t m = sourceSerials.size();
    if (n == 0 || m == 0) {
        std::fill(signal.begin(), signal.end(), 0.0);
        return;
    }
    const double keep = 1.0 - std::fabs(ratio);
    double carry = 0.0;
    size_t t = 0;
    size_t q = 0;
    while (true) {
        while (sourceSerials[q] < targetSerials[t] && q + 1 < m) {
            ++q;
        }
        // Dates the source lacks repeat the last blended value.
        while (sourceSerials[q] > targetSerials[t] && t + 1 < n) {
            signal[t] = carry;
            ++t;
        }
        carry = base[t] * keep + diff[q] * ratio;
        signal[t] = carry;
        if (t + 1 >= n || q + 1 >= m) {
            break;
        }
        ++t;
        ++q;
    }
    // Dates after the source's last point take nothing.
    std::fill(signal.begin() + static_cast<std::ptrdiff_t>(t + 1), signal.end(), 0.0);
}

std::vector<int32_t> SerialsOf(const CDataSet& ds) {
    std::vector<int32_t> serials;
    serials.reserve(ds.Points().size());
    for (const CDataPoint& p : ds.Points()) {
        serials.push_back(p.m_serial);
    }
    return serials;
}

std::vector<double> SlotOf(const CDataSet& ds, int slot) {
    std::vector<double> values;
    values.reserve(ds.Points().size());
    for (const CDataPoint& p : ds.Points()) {
        values.push_back(p.GetValue(slot));
    }
    return values;
}

// A data set's smoothed series and normalised change as arrays, computed as SmoothRaw and
// BuildDiff with a length of 1 compute them: the simulation reads the points once and writes
// them once instead of staging every filter through them.
struct CSmoothedSeries {
    void Compute(const CDataSet& ds, int32_t days) {
        const auto& points = ds.Points();
        serials.resize(points.size());
        diff.resize(points.size());
        size_t i = 0;
        for (const CDataPoint& p : points) {
            serials[i] = p.m_serial;
            diff[i++] = p.GetValue(Raw);
        }
        smooth.resize(points.size());
        WeightedAverageSeries(serials, diff, smooth, days);
        // The raw values are not needed again: their array takes the change.
        DifferentiateSeries(serials, smooth, diff);
        NormaliseSeries(diff, diff);
    }

    CLargeArray<int32_t> serials;
    CLargeArray<double> smooth;
    CLargeArray<double> diff;
};

void WriteSmoothAndDiff(CDataSet& ds, const CSmoothedSeries& series) {
    size_t i = 0;
    for (CDataPoint& p : ds.MutablePoints()) {
        p.SetValue(Smooth, series.smooth[i]);
        p.SetValue(Diff, series.diff[i++]);
    }
}

}  // namespace

void Simulate(CProject& project, CStatusSink* status) {
    CDataSet* primary = project.Primary();
    if (primary == nullptr) {
        return;
    }
    CStrategyParams& params = primary->m_params;
    // Every data set is smoothed with the primary's length.
    CSmoothedSeries own;
    own.Compute(*primary, params.ML);
    // The blend so far is the base of the next one, so one array holds both.
    CLargeArray<double> signal(own.serials.size(), 0.0);
    CSmoothedSeries other;
    for (const auto& source : project.DataSets()) {
        const CSmoothedSeries* series = &own;
        if (source.get() != primary) {
            other.Compute(*source, params.ML);
            WriteSmoothAndDiff(*source, other);
            series = &other;
        }
        BlendSeries(own.serials, signal, series->serials, series->diff, source->m_params.RC,
                    signal);
    }
    // One pass writes the primary's slots, flags and investment; outside the window it is out
    // of the market with nothing invested.
    const auto [first, last] = primary->PointsInside(project.m_viewLimits);
    CBand band(params.BL);
    CInvestment investment(params.IN, params.TT);
    size_t i = 0;
    for (CDataPoint& p : primary->MutablePoints()) {
        p.SetValue(Smooth, own.smooth[i]);
        p.SetValue(Diff, own.diff[i]);
        p.SetValue(Signal, signal[i]);
        p.SetValue(SignalBase, signal[i]);
        if (i < first || i >= last) {
            p.m_flag = 0;
            p.SetValue(Gross, 0.0);
            p.SetValue(Net, 0.0);
        } else {
            p.m_flag = band.Next(signal[i]);
            investment.Next(p.GetValue(Raw), p.m_flag);
            p.SetValue(Gross, investment.Gross());
            p.SetValue(Net, investment.Net());
            params.OUT = investment.Net();
        }
        ++i;
    }
    params.GN = (params.OUT - params.IN) * 100.0 / params.IN;
    ReportStatus(*primary, status);
}

void Blend(CDataSet& target, const CDataSet& source, double ratio) {
    std::vector<double> signal(target.Points().size());
    BlendSeries(SerialsOf(target), SlotOf(target, SignalBase), SerialsOf(source),
                SlotOf(source, Diff), ratio, signal);
    size_t i = 0;
    for (CDataPoint& p : target.MutablePoints()) {
        p.SetValue(Signal, signal[i++]);
    }
}

void SetFlags(CDataSet& ds, const CLimits& window, int32_t level) {
    ds.ClearFlags();
    CPointDeque& points = ds.MutablePoints();
    const auto [first, last] = ds.PointsInside(window);
    CBand band(level);
    for (size_t i = first; i < last; ++i) {
        points[i].m_flag = band.Next(points[i].GetValue(Signal));
    }
}

double Invest(CDataSet& ds, const CLimits& window, double input, double& out) {
    ds.ZeroSlot(Gross);
    ds.ZeroSlot(Net);
    CPointDeque& points = ds.MutablePoints();
    CInvestment investment(input, ds.m_params.TT);
    const auto [first, last] = ds.PointsInside(window);
    for (size_t i = first; i < last; ++i) {
        CDataPoint& p = points[i];
        investment.Next(p.GetValue(Raw), p.m_flag);
        p.SetValue(Gross, investment.Gross());
        p.SetValue(Net, investment.Net());
        out = investment.Net();
    }
    return (out - input) * 100.0 / input;
}

void ReportStatus(const CDataSet& ds, CStatusSink* status) {
    const auto [first, last] = ds.PointsInWindow();
    if (first == last || status == nullptr) {
        return;
    }
    const CDataPoint& p = ds.Points()[last - 1];
    status->SetStatus(p.FormatDate(), ds.m_name, p.GetValue(Net), p.m_flag);
}

void SelectResultSet(CProject& project, int32_t& n, CStatusSink* status) {
    if (project.Primary() != nullptr) {
        ApplyResultSet(project, n);
        Simulate(project, status);
    }
}

void ApplyResultSet(CProject& project, int32_t& n) {
    const CDataSet* primary = project.Primary();
    if (primary == nullptr) {
        return;
    }
    const auto count = static_cast<int32_t>(primary->m_results.size());
    n = std::clamp(n, 0, count);
    if (n == 0 && count > 0) {
        n = 1;
    }
    for (const auto& ds : project.DataSets()) {
        ds->ApplyResult(n);
    }
}

const CDataSet* DataSetOutsideWindow(const CProject& project) {
    for (const auto& ds : project.DataSets()) {
        const auto [first, last] = ds->PointsInside(project.m_viewLimits);
        if (first == last) {
            return ds.get();
        }
    }
    return nullptr;
}
