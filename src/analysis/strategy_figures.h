#pragma once

#include <cstdint>

class CDataSet;
class CLimits;

// The figures of one simulation, read from the primary's value slots and flags as Simulate left
// them (no second simulation). Only the points inside the window count. Percentages are per
// cent; a figure that does not exist (no point, no trade) is NaN, an index is -1.
//
// Definitions:
// - gain: GN of the primary's parameters, the Net line's change from IN to its last value.
// - gain per year, simple: gain x 365.25 / days of the window (the figure the program shows).
// - gain per year, compounded: (OUT / IN)^(365.25 / days) - 1; -100 once OUT is 0 or below.
// - buy and hold: the primary's first raw value inside the window to its last, without charges.
// - drawdown: the largest fall of the Net line from its highest value so far (IN before the
//   first point) to a later value, as a share of that high; the peak is the point that set the
//   high (-1: IN itself, before the window), the trough the point of the lowest value after it.
// - trade: one stay in the market, from an entry (flag 0 to 1; the window starts out) to the
//   exit (flag 1 to 0) or the window's end. Its gain is the Net line's change from the value
//   before the entry (the previous point's Net, or IN on the window's first point) to the exit
//   point's Net, so both charges are in it; an open trade ends at the last point, unsold.
// - in market: points inside the window whose flag is 1, as a share of all points inside.
struct CStrategyFigures {
    int64_t days = 0;    // calendar days of the window, both ends included
    int64_t points = 0;  // points inside the window
    double gain = 0.0;
    double gainPerYear = 0.0;
    double gainPerYearCompounded = 0.0;
    double buyAndHold = 0.0;
    double maxDrawdown = 0.0;  // 0 when the Net line never falls
    int64_t peakIndex = -1;    // indices into the data set's points
    int64_t troughIndex = -1;
    int64_t trades = 0;
    double inMarket = 0.0;
    double bestTrade = 0.0;
    double worstTrade = 0.0;
};

// The figures of the last simulation of `primary` inside `window`.
CStrategyFigures ComputeFigures(const CDataSet& primary, const CLimits& window);

// Gain in per cent per year compounded over `days`, from a gain in per cent over them.
double CompoundedPerYear(double gain, int64_t days);
