// The trading strategy on the primary data set: every data set's normalised change is blended
// into one signal, the signal switches the market flag with a hysteresis band, and an invested
// amount follows the primary series with a fixed charge per transaction.

#include <algorithm>
#include <cmath>

#include "analysis/status_sink.h"
#include "model/data_set.h"
#include "model/project.h"

void CDataSet::Simulate() {
    ZeroSlot(Signal);
    ZeroSlot(SignalBase);
    for (const auto& source : m_project->DataSets()) {
        // Every data set is smoothed with the primary's length.
        source->SmoothRaw(m_params.ML);
        source->BuildDiff(1);
        Blend(*source, source->m_params.RC);
        CopySlot(Signal, SignalBase);
    }
    SetFlags(m_params.BL);
    m_params.GN = Invest(m_params.IN, m_params.OUT);
    ReportStatus();
    ScaleLimits(m_project->m_historyLimits, Gross);
}

void CDataSet::Blend(const CDataSet& source, double ratio) {
    ZeroSlot(Signal);
    const auto& others = source.m_points;
    if (m_points.empty() || others.empty()) {
        return;
    }
    const double keep = 1.0 - std::fabs(ratio);
    const size_t n = m_points.size();
    const size_t m = others.size();
    double carry = 0.0;
    size_t t = 0;
    size_t q = 0;
    while (true) {
        while (others[q].m_serial < m_points[t].m_serial && q + 1 < m) {
            ++q;
        }
        // Dates the source lacks repeat the last blended value.
        while (others[q].m_serial > m_points[t].m_serial && t + 1 < n) {
            m_points[t].SetValue(Signal, carry);
            ++t;
        }
        CDataPoint& target = m_points[t];
        carry = target.GetValue(SignalBase) * keep + others[q].GetValue(Diff) * ratio;
        target.SetValue(Signal, carry);
        if (t + 1 >= n || q + 1 >= m) {
            return;
        }
        ++t;
        ++q;
    }
}

void CDataSet::SetFlags(int32_t level) {
    ClearFlags();
    const double hi = level * 0.01;
    const double lo = -level * 0.01;
    auto [first, last] = InsideRange(Window());
    int32_t state = 0;
    for (size_t i = first; i < last; ++i) {
        CDataPoint& p = m_points[i];
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

double CDataSet::Invest(double input, double& out) {
    ZeroSlot(Gross);
    ZeroSlot(Net);
    const double charge = m_params.TT;
    double gross = input;
    double net = input;
    double entryPrice = 0.0;
    double grossBase = 0.0;
    double netBase = 0.0;
    int32_t previous = 0;
    auto [first, last] = InsideRange(Window());
    for (size_t i = first; i < last; ++i) {
        CDataPoint& p = m_points[i];
        const double price = p.GetValue(Raw);
        const int32_t flag = p.m_flag;
        if (flag == 1 && previous == 0) {
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

void CDataSet::ReportStatus() const {
    auto [first, last] = InsideRange(Window());
    CStatusSink* sink = m_project->StatusSink();
    if (first == last || sink == nullptr) {
        return;
    }
    const CDataPoint& p = m_points[last - 1];
    sink->SetStatus(p.FormatDate(), m_name, p.GetValue(Net), p.m_flag);
}

void CDataSet::SelectResultSet(int32_t& n) {
    const auto count = static_cast<int32_t>(m_results.size());
    n = std::clamp(n, 0, count);
    if (n == 0 && count > 0) {
        n = 1;
    }
    for (const auto& ds : m_project->DataSets()) {
        ds->ApplyResult(n);
    }
    Simulate();
}
