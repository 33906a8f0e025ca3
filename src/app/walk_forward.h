#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "model/data_point.h"
#include "model/limits.h"
#include "model/status.h"

class CProject;
class CProgressSink;

// A length of time as the command line writes it: a count of days, months or years.
struct CPeriod {
    enum Unit { Days, Months, Years };
    int32_t count = 0;
    Unit unit = Days;
};

// Reads "250d", "18m" or "5y" (a positive whole count and one unit letter, either case).
// Refuses anything else, zero and negative counts included, with the reason.
CStatus ParsePeriod(const std::string& text, CPeriod& period);

// The first day `period` x `times` after `date`. Months and years keep the day of the month,
// cut to the length of the month reached (31 January + 1 month is 29 February in a leap year).
CDataPoint AddPeriod(const CDataPoint& date, const CPeriod& period, int32_t times);

// One step of a walk-forward run: the window optimised on, the window the best result set was
// then simulated on, the chosen parameters and both gains in per cent.
struct CWalkStep {
    CLimits train;
    CLimits test;
    int32_t ml = 0;
    int32_t bl = 0;
    std::vector<double> ratios;    // one per data set, in list order
    double inSampleGain = 0.0;     // GN of the chosen result set over the training window
    double outOfSampleGain = 0.0;  // GN of the simulation over the test window
    int64_t trades = 0;            // in the test window
    int64_t points = 0;            // of the primary inside the test window
    int64_t pointsInMarket = 0;
};

// One point of the stitched out-of-sample run, in units of the amount invested (IN) at the
// first test window's start.
struct CWalkPoint {
    CDataPoint date;    // only the date is meaningful
    double net = 0.0;   // the strategy: each test window's Net line, chained onto the last
    double hold = 0.0;  // buy and hold of the primary's raw values from the first test point
};

// The figures of the stitched out-of-sample run over the test windows together, computed from
// the steps (no simulation of its own):
// - gain: the test gains chained, (1 + g1/100)(1 + g2/100)... - 1, in per cent;
// - gain per year, compounded, over the calendar days from the first test start to the last end;
// - buy and hold: the primary's first raw value inside that span to its last, no charges;
// - drawdown: the largest fall of the stitched Net line from its highest value so far (the
//   amount invested before the first point) as a share of that high;
// - trades and in market: summed over the test windows.
struct CWalkFigures {
    int64_t days = 0;
    double gain = 0.0;
    double gainPerYearCompounded = 0.0;
    double buyAndHold = 0.0;
    double buyAndHoldPerYearCompounded = 0.0;
    double maxDrawdown = 0.0;
    int64_t trades = 0;
    double inMarket = 0.0;  // per cent of the test points
};

struct CWalkForward {
    std::vector<CWalkStep> steps;
    std::vector<CWalkPoint> line;
    CWalkFigures figures;
};

enum class CWalkRank { Gain, Robust };

// Walk-forward check of the optimisation on the project's window. The first training window
// starts at the window's start and lasts `train`; its test window follows it and lasts `test`;
// then both move on by `test`. A test window that would end after the window's end is dropped,
// so every step is tested over the full length. Each training window is optimised with the
// project's ranges, every step starting from the project's own parameters; the first result
// set (by gain, or by plateau with CWalkRank::Robust) is simulated on the test window.
//
// Works on a copy: the project is only read. Fails, with the reason, without a data set, when
// no step fits, when a training or test window holds no point of the primary, when the range
// is too large for a landscape the robust rank needs, or once `stop` is set. `threads` as for
// Optimise; `progress` (may be null) gets positions 1 to 100 over the whole run.
CStatus WalkForward(const CProject& project, const CPeriod& train, const CPeriod& test,
                    CWalkRank rank, int threads, const std::atomic<bool>& stop,
                    CProgressSink* progress, CWalkForward& out);
