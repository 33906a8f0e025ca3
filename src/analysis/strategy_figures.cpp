#include "analysis/strategy_figures.h"

#include <algorithm>
#include <cmath>

#include "model/data_set.h"
#include "model/limits.h"

namespace {

constexpr double kNaN = CStrategyFigures::kNone;

// A share of a base at or below zero means nothing: the account was already lost.
double Change(double from, double to) {
    return from > 0.0 ? (to - from) * 100.0 / from : kNaN;
}

void FindRuin(const std::vector<CFigurePoint>& line, double input, CStrategyFigures& f) {
    if (!(input > 0.0)) {
        return;
    }
    for (size_t i = 0; i < line.size(); ++i) {
        if (!(line[i].net > 0.0)) {
            f.ruinedIndex = static_cast<int64_t>(i);
            return;
        }
    }
}

// Points measured: all, or up to and including the ruin.
size_t MeasuredEnd(const std::vector<CFigurePoint>& line, const CStrategyFigures& f) {
    return f.ruinedIndex >= 0 ? static_cast<size_t>(f.ruinedIndex) + 1 : line.size();
}

void FindDrawdown(const std::vector<CFigurePoint>& line, double input, CStrategyFigures& f) {
    f.maxDrawdown = input > 0.0 ? 0.0 : kNaN;
    double high = input;
    int64_t highIndex = -1;
    const size_t end = MeasuredEnd(line, f);
    for (size_t i = 0; i < end && high > 0.0; ++i) {
        const double net = line[i].net;
        if (net > high) {
            high = net;
            highIndex = static_cast<int64_t>(i);
            continue;
        }
        const double fall = std::min(100.0, (high - net) * 100.0 / high);
        if (fall > f.maxDrawdown) {
            f.maxDrawdown = fall;
            f.peakIndex = highIndex;
            f.troughIndex = static_cast<int64_t>(i);
        }
    }
}

struct TradeTally {
    std::vector<double> money;
    std::vector<double> percent;
    void Add(double before, double after) {
        money.push_back(after - before);
        percent.push_back(Change(before, after));
    }
};

void FindTrades(const std::vector<CFigurePoint>& line, double input, CStrategyFigures& f) {
    TradeTally tally;
    double before = input;  // Net before the current point
    double atEntry = input;
    int32_t previous = 0;
    int64_t inside = 0;
    for (const CFigurePoint& p : line) {
        if (p.flatStart && previous == 1) {
            tally.Add(atEntry, before);
            previous = 0;
        }
        if (EntersMarket(previous, p.flag)) {
            atEntry = before;
        } else if (LeavesMarket(previous, p.flag)) {
            tally.Add(atEntry, p.net);
        }
        inside += p.flag == 1 ? 1 : 0;
        previous = p.flag;
        before = p.net;
    }
    f.openAtEnd = previous == 1;
    if (f.openAtEnd) {
        tally.Add(atEntry, before);
    }
    f.inMarket = 100.0 * static_cast<double>(inside) / static_cast<double>(line.size());
    f.trades = static_cast<int64_t>(tally.money.size());
    if (f.trades == 0) {
        return;
    }
    double won = 0.0;
    double lost = 0.0;
    int64_t wins = 0;
    for (double m : tally.money) {
        (m > 0.0 ? won : lost) += m;
        wins += m > 0.0 ? 1 : 0;
    }
    f.bestTradeMoney = *std::max_element(tally.money.begin(), tally.money.end());
    f.worstTradeMoney = *std::min_element(tally.money.begin(), tally.money.end());
    f.averageTradeMoney = (won + lost) / static_cast<double>(f.trades);
    f.winRate = 100.0 * static_cast<double>(wins) / static_cast<double>(f.trades);
    f.profitFactor = lost < 0.0 ? won / -lost : (won > 0.0 ? INFINITY : kNaN);
    double sum = 0.0;
    int64_t counted = 0;
    for (double pc : tally.percent) {
        if (std::isnan(pc)) {
            continue;
        }
        f.bestTrade = counted == 0 ? pc : std::max(f.bestTrade, pc);
        f.worstTrade = counted == 0 ? pc : std::min(f.worstTrade, pc);
        sum += pc;
        ++counted;
    }
    f.averageTrade = counted > 0 ? sum / static_cast<double>(counted) : kNaN;
}

void FindRiskFigures(const std::vector<CFigurePoint>& line, double input, CStrategyFigures& f) {
    std::vector<double> returns;
    double before = input;
    const size_t end = MeasuredEnd(line, f);
    for (size_t i = 0; i < end && before > 0.0; ++i) {
        returns.push_back(std::max(-1.0, line[i].net / before - 1.0));
        before = line[i].net;
    }
    if (f.annualised && f.maxDrawdown > 0.0) {
        f.calmar = f.gainPerYearCompounded / f.maxDrawdown;
    }
    const auto n = static_cast<double>(returns.size());
    if (returns.size() < 2) {
        return;
    }
    double mean = 0.0;
    for (double r : returns) {
        mean += r;
    }
    mean /= n;
    double squares = 0.0;
    double downside = 0.0;
    for (double r : returns) {
        squares += (r - mean) * (r - mean);
        downside += r < 0.0 ? r * r : 0.0;
    }
    const double deviation = std::sqrt(squares / (n - 1.0));
    const double rootOfYear =
        std::sqrt(static_cast<double>(line.size()) * 365.25 / static_cast<double>(f.days));
    f.volatility = deviation * rootOfYear * 100.0;
    f.sharpe = deviation > 0.0 ? mean / deviation * rootOfYear : kNaN;
    const double downDeviation = std::sqrt(downside / n);
    f.sortino = downDeviation > 0.0 ? mean / downDeviation * rootOfYear : kNaN;
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

CStrategyFigures ComputeLineFigures(const std::vector<CFigurePoint>& line, double input,
                                    int64_t days) {
    CStrategyFigures f;
    f.days = days;
    f.points = static_cast<int64_t>(line.size());
    f.annualised = days >= kDaysOfAYear;
    if (line.empty()) {
        return f;
    }
    f.gain = (line.back().net - input) * 100.0 / input;
    f.buyAndHold = Change(line.front().price, line.back().price);
    FindRuin(line, input, f);
    if (f.annualised) {
        f.gainPerYear = f.gain * 365.25 / static_cast<double>(days);
        f.gainPerYearCompounded = f.ruinedIndex >= 0 ? -100.0 : CompoundedPerYear(f.gain, f.days);
        f.buyAndHoldPerYearCompounded = CompoundedPerYear(f.buyAndHold, f.days);
    }
    FindDrawdown(line, input, f);
    FindTrades(line, input, f);
    FindRiskFigures(line, input, f);
    return f;
}

CStrategyFigures ComputeFigures(const CDataSet& primary, const CLimits& window) {
    const auto [first, last] = primary.PointsInside(window);
    std::vector<CFigurePoint> line;
    line.reserve(last - first);
    for (size_t i = first; i < last; ++i) {
        const CDataPoint& p = primary.Points()[i];
        line.push_back({p.m_serial, p.GetValue(Raw), p.GetValue(Net), p.m_flag, false});
    }
    CStrategyFigures f = ComputeLineFigures(line, primary.m_params.IN, window.DayCount());
    for (int64_t* index : {&f.peakIndex, &f.troughIndex, &f.ruinedIndex}) {
        if (*index >= 0) {
            *index += static_cast<int64_t>(first);
        }
    }
    return f;
}
