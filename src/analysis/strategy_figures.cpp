#include "analysis/strategy_figures.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "model/data_set.h"
#include "model/limits.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Change(double from, double to) {
    return (to - from) * 100.0 / from;
}

// Largest fall from a running high, starting at `input` before the first point.
void FindDrawdown(const CDataSet& ds, size_t first, size_t last, double input,
                  CStrategyFigures& figures) {
    double high = input;
    int64_t highIndex = -1;
    for (size_t i = first; i < last; ++i) {
        const double net = ds.Points()[i].GetValue(Net);
        if (net > high) {
            high = net;
            highIndex = static_cast<int64_t>(i);
            continue;
        }
        const double fall = (high - net) * 100.0 / high;
        if (fall > figures.maxDrawdown) {
            figures.maxDrawdown = fall;
            figures.peakIndex = highIndex;
            figures.troughIndex = static_cast<int64_t>(i);
        }
    }
}

void AddTrade(double gain, CStrategyFigures& figures) {
    const bool first = figures.trades == 0;
    figures.bestTrade = first ? gain : std::max(figures.bestTrade, gain);
    figures.worstTrade = first ? gain : std::min(figures.worstTrade, gain);
    ++figures.trades;
}

void FindTrades(const CDataSet& ds, size_t first, size_t last, double input,
                CStrategyFigures& figures) {
    double before = input;  // Net before the current point
    double atEntry = input;
    int32_t previous = 0;
    int64_t inside = 0;
    for (size_t i = first; i < last; ++i) {
        const CDataPoint& p = ds.Points()[i];
        const double net = p.GetValue(Net);
        if (EntersMarket(previous, p.m_flag)) {
            atEntry = before;
        } else if (LeavesMarket(previous, p.m_flag)) {
            AddTrade(Change(atEntry, net), figures);
        }
        inside += p.m_flag == 1 ? 1 : 0;
        previous = p.m_flag;
        before = net;
    }
    if (previous == 1) {
        AddTrade(Change(atEntry, before), figures);
    }
    figures.inMarket = last > first ? inside * 100.0 / static_cast<double>(last - first) : kNaN;
}

}  // namespace

double CompoundedPerYear(double gain, int64_t days) {
    const double growth = 1.0 + gain / 100.0;
    if (days <= 0 || std::isnan(growth)) {
        return kNaN;
    }
    if (growth <= 0.0) {
        return -100.0;
    }
    return (std::pow(growth, 365.25 / static_cast<double>(days)) - 1.0) * 100.0;
}

CStrategyFigures ComputeFigures(const CDataSet& primary, const CLimits& window) {
    CStrategyFigures figures;
    const CStrategyParams& params = primary.m_params;
    const auto [first, last] = primary.PointsInside(window);
    figures.days = window.DayCount();
    figures.points = static_cast<int64_t>(last - first);
    figures.gain = kNaN;
    figures.gainPerYear = kNaN;
    figures.gainPerYearCompounded = kNaN;
    figures.buyAndHold = kNaN;
    figures.bestTrade = kNaN;
    figures.worstTrade = kNaN;
    figures.inMarket = kNaN;
    // A window without a point invested nothing: its gain is no result, not a loss.
    if (first == last) {
        return figures;
    }
    figures.gain = params.GN;
    figures.gainPerYear = params.GN * 365.25 / static_cast<double>(figures.days);
    figures.gainPerYearCompounded = CompoundedPerYear(params.GN, figures.days);
    figures.buyAndHold =
        Change(primary.Points()[first].GetValue(Raw), primary.Points()[last - 1].GetValue(Raw));
    FindDrawdown(primary, first, last, params.IN, figures);
    FindTrades(primary, first, last, params.IN, figures);
    return figures;
}
