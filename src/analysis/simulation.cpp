#include "analysis/simulation.h"

#include <algorithm>
#include <cmath>
#include <deque>

#include "analysis/series_filters.h"
#include "analysis/status_sink.h"
#include "model/data_set.h"
#include "model/project.h"

void Simulate(CProject& project, CStatusSink* status) {
    CDataSet* primary = project.Primary();
    if (primary == nullptr) {
        return;
    }
    CStrategyParams& params = primary->m_params;
    primary->ZeroSlot(Signal);
    primary->ZeroSlot(SignalBase);
    for (const auto& source : project.DataSets()) {
        // Every data set is smoothed with the primary's length.
        SmoothRaw(*source, params.ML);
        BuildDiff(*source, 1);
        Blend(*primary, *source, source->m_params.RC);
        primary->CopySlot(Signal, SignalBase);
    }
    const CLimits& window = project.m_viewLimits;
    SetFlags(*primary, window, params.BL);
    params.GN = Invest(*primary, window, params.IN, params.OUT);
    ReportStatus(*primary, status);
}

void Blend(CDataSet& target, const CDataSet& source, double ratio) {
    target.ZeroSlot(Signal);
    std::deque<CDataPoint>& points = target.MutablePoints();
    const auto& others = source.Points();
    if (points.empty() || others.empty()) {
        return;
    }
    const double keep = 1.0 - std::fabs(ratio);
    const size_t n = points.size();
    const size_t m = others.size();
    double carry = 0.0;
    size_t t = 0;
    size_t q = 0;
    while (true) {
        while (others[q].m_serial < points[t].m_serial && q + 1 < m) {
            ++q;
        }
        // Dates the source lacks repeat the last blended value.
        while (others[q].m_serial > points[t].m_serial && t + 1 < n) {
            points[t].SetValue(Signal, carry);
            ++t;
        }
        CDataPoint& point = points[t];
        carry = point.GetValue(SignalBase) * keep + others[q].GetValue(Diff) * ratio;
        point.SetValue(Signal, carry);
        if (t + 1 >= n || q + 1 >= m) {
            return;
        }
        ++t;
        ++q;
    }
}

void SetFlags(CDataSet& ds, const CLimits& window, int32_t level) {
    ds.ClearFlags();
    std::deque<CDataPoint>& points = ds.MutablePoints();
    const double hi = level * 0.01;
    // Negated after the product: the level may be the lowest int, which has no negative.
    const double lo = -(level * 0.01);
    const auto [first, last] = ds.PointsInside(window);
    int32_t state = 0;
    for (size_t i = first; i < last; ++i) {
        CDataPoint& p = points[i];
        double signal = p.GetValue(Signal);
        if (signal > hi) {
            state = 1;
        }
        if (signal < lo || std::isnan(signal)) {
            state = 0;
        }
        p.m_flag = state;
    }
}

double Invest(CDataSet& ds, const CLimits& window, double input, double& out) {
    ds.ZeroSlot(Gross);
    ds.ZeroSlot(Net);
    std::deque<CDataPoint>& points = ds.MutablePoints();
    const double charge = ds.m_params.TT;
    double gross = input;
    double net = input;
    double entryPrice = 0.0;
    double grossBase = 0.0;
    double netBase = 0.0;
    int32_t previous = 0;
    const auto [first, last] = ds.PointsInside(window);
    for (size_t i = first; i < last; ++i) {
        CDataPoint& p = points[i];
        const double price = p.GetValue(Raw);
        const int32_t flag = p.m_flag;
        if (EntersMarket(previous, flag)) {
            entryPrice = price;
            grossBase = gross;
            net -= charge;
            netBase = net;
        }
        if (flag == 1) {
            if (entryPrice != 0.0) {
                gross = price * grossBase / entryPrice;
                net = price * netBase / entryPrice;
            }
        } else if (previous == 1) {
            if (entryPrice != 0.0 && price != 0.0) {
                gross = price * grossBase / entryPrice;
                net = price * netBase / entryPrice;
            }
            net -= charge;
        }
        p.SetValue(Gross, gross);
        p.SetValue(Net, net);
        previous = flag;
        out = net;
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
