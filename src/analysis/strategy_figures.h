#pragma once

#include <cstdint>
#include <limits>
#include <vector>

class CDataSet;
class CLimits;

// One day of an account that follows the strategy: the primary's price, the market flag and the
// Net line, as a simulation or a stitched walk-forward left them.
struct CFigurePoint {
    int32_t serial = 0;
    double price = 0.0;
    double net = 0.0;
    int32_t flag = 0;
    // The account starts afresh out of the market here: a trade open on the day before ends
    // there, unsold (a walk-forward whose test windows each start out of the market).
    bool flatStart = false;
};

// The figures of an account's line. Percentages are per cent; a figure that does not exist is
// NaN (no point, no trade, a period too short to annualise, a percentage of a base at or below
// zero); an index (into the line, or into the data set's points for ComputeFigures) is -1.
//
// Definitions:
// - gain: the Net line's change from the input to its last value (NaN without a point).
// - per year: only for periods of 365 days or more; shorter ones give their gain as it is.
//   Simple: gain x 365.25 / days; compounded: (OUT / IN)^(365.25 / days) - 1, -100 once ruined.
// - buy and hold: the first price to the last, without charges.
// - ruined: the first point whose Net is zero or below; the account is lost from there, so the
//   drawdown is 100 % and no later point is measured as a share of it.
// - drawdown: the largest fall of the Net line from its highest value so far (the input before
//   the first point) as a share of that high, up to the ruin; the peak is the point that set the
//   high (-1: the input), the trough the point of the lowest value after it.
// - trade: one stay in the market, from an entry (flag 0 to 1; the line starts out) to the exit
//   (flag 1 to 0) or the line's end, where it is valued unsold (`openAtEnd`). Its result in
//   money is the Net after the exit less the Net before the entry (both charges inside); in per
//   cent of the Net before the entry when that is above zero.
// - win rate: trades that made money as a share of all; profit factor: money won over money
//   lost (infinite without a losing trade); average trade: the mean result.
// - daily returns: the Net line's change from one point to the next (from the input to the
//   first), up to the ruin. Volatility: their sample standard deviation times the square root
//   of the points per year (points x 365.25 / days), in per cent. Sharpe: their mean over that
//   deviation, Sortino: their mean over the root mean square of the negative ones, both times
//   the same root; no risk-free rate is taken off. Calmar: the compounded gain per year over
//   the max drawdown, for periods of a year or more.
struct CStrategyFigures {
    static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

    int64_t days = 0;    // calendar days of the period, both ends included
    int64_t points = 0;  // points inside it
    bool annualised = false;
    double gain = kNone;
    double gainPerYear = kNone;
    double gainPerYearCompounded = kNone;
    double buyAndHold = kNone;
    double buyAndHoldPerYearCompounded = kNone;
    double maxDrawdown = kNone;
    int64_t peakIndex = -1;
    int64_t troughIndex = -1;
    int64_t ruinedIndex = -1;
    int64_t trades = 0;
    bool openAtEnd = false;
    double inMarket = kNone;
    double bestTrade = kNone;
    double worstTrade = kNone;
    double bestTradeMoney = kNone;
    double worstTradeMoney = kNone;
    double averageTrade = kNone;
    double averageTradeMoney = kNone;
    double winRate = kNone;
    double profitFactor = kNone;
    double volatility = kNone;
    double sharpe = kNone;
    double sortino = kNone;
    double calmar = kNone;
};

// The figures of `line` (in date order) for an account that started with `input` over a period
// of `days` calendar days.
CStrategyFigures ComputeLineFigures(const std::vector<CFigurePoint>& line, double input,
                                    int64_t days);

// The figures of the last simulation of `primary` inside `window`, read from its value slots and
// flags as Simulate left them (no second simulation), with the input IN of its parameters.
CStrategyFigures ComputeFigures(const CDataSet& primary, const CLimits& window);

// Gain in per cent per year compounded over `days`, from a gain in per cent over them.
double CompoundedPerYear(double gain, int64_t days);

// A year: shorter periods are not annualised.
inline constexpr int64_t kDaysOfAYear = 365;
