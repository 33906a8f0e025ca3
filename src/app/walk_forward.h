#pragma once

#include <atomic>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "analysis/strategy_figures.h"
#include "model/data_point.h"
#include "model/limits.h"
#include "model/status.h"

class CProject;
class CProgressSink;
struct CSweepEstimate;

// A length of time as the command line writes it: a count of days, months or years.
struct CPeriod {
    enum Unit { Days, Months, Years };
    int32_t count = 0;
    Unit unit = Days;
};

// Reads "250d", "18m" or "5y" (a positive whole count and one unit letter, either case).
// Refuses anything else, zero and negative counts included, with the reason.
CStatus ParsePeriod(const std::string& text, CPeriod& period);

// The first day `period` x `times` after `date` (before it for negative `times`). Months and
// years keep the day of the month, cut to the length of the month reached (31 January + 1 month
// is 29 February in a leap year). Fails when the day lies outside the dates the program holds.
bool AddPeriod(const CDataPoint& date, const CPeriod& period, int64_t times, CDataPoint& out);

// One step of a walk-forward run: the window optimised on, the window the chosen result set was
// then traded on, the chosen parameters and both gains in per cent. A step whose training
// window holds no point of the primary has no parameters and stays out of the market; one whose
// test window holds none has no out-of-sample result (NaN).
struct CWalkStep {
    CLimits train;
    CLimits test;
    bool chosen = false;  // the training window gave parameters
    int32_t ml = 0;
    int32_t bl = 0;
    std::vector<double> ratios;  // one per data set, in list order
    double inSampleGain = std::numeric_limits<double>::quiet_NaN();     // GN of the chosen set
    double outOfSampleGain = std::numeric_limits<double>::quiet_NaN();  // the account's change
    bool startsInMarket = false;  // the parameters held a position on the day before the test
    int64_t trades = 0;           // entries and exits inside the test window
    int64_t points = 0;           // of the primary inside the test window
    int64_t pointsInMarket = 0;
};

// One point of the stitched out-of-sample run, in money of the amount invested (IN).
struct CWalkPoint {
    CDataPoint date;  // only the date is meaningful
    double price = 0.0;
    int32_t flag = 0;
    bool flatStart = false;  // the first point of a test window that started out of the market
    double net = 0.0;        // the account
    double hold = 0.0;       // buy and hold of the primary's raw values from the first test point
};

struct CWalkForward {
    std::vector<CWalkStep> steps;
    std::vector<CWalkPoint> line;
    // The figures of the stitched line from the first test start to the last test end, as a
    // simulation's figures are (ComputeLineFigures).
    CStrategyFigures figures;
};

enum class CWalkRank { Gain, Robust };

// The training and test windows of every step that fits in `span` (see WalkForward), with
// nothing chosen yet. Fails when the first test window would start after the last date the
// program holds, or when more than 100000 test windows fit; none fitting is no failure.
CStatus PlanWalkSteps(const CLimits& span, const CPeriod& train, const CPeriod& test,
                      std::vector<CWalkStep>& steps);

struct CWalkSettings {
    CPeriod train;
    CPeriod test;
    CWalkRank rank = CWalkRank::Gain;
    // Each test window starts out of the market with the amount invested, and the stitched line
    // chains the windows' gains (an open position is valued unsold at each window's end).
    bool flatStart = false;
};

// What WalkForward with these settings will cost: each step's sweep as Optimise would run it
// on a training window, times the steps. Zero without a primary or when no step fits.
CSweepEstimate EstimateWalkForward(const CProject& project, const CWalkSettings& settings,
                                   int threads);

// Walk-forward check of the optimisation on the project's window, deciding every day only with
// points up to that day. The first training window starts at the window's start and lasts
// `train`; the test windows follow it, `test` long each, one after another without gap or
// overlap (each n x `test` after the first test start), so every day from the first test start
// to the last test end is tested once; the training window of each ends the day before it and
// lasts `train` (cut at the window's start). A test window that would end after the window's
// end is dropped.
//
// Each training window is optimised on the project's data cut after the training window's end,
// with the project's ranges and parameters; the first result set (by gain, or by plateau with
// CWalkRank::Robust) is then traded on the test window with the signal of CausalSignal, its
// normalisation frozen at the training end, its flags run from the training window's start.
// The account is one: it enters or leaves on a test window's first day as the new parameters
// say, paying the charge, and a position open at the end is valued at the last point.
//
// Works on a copy: the project is only read. Fails, with the reason, without a data set, when
// no step fits, when the windows run past the dates the program holds, when the range is too
// large for a landscape the robust rank needs, or once `stop` is set; a stopped run still holds
// the steps it finished in `out`, with the line and figures up to them. `threads` as for
// Optimise; `progress` (may be null) gets positions 1 to 100 over the whole run.
CStatus WalkForward(const CProject& project, const CWalkSettings& settings, int threads,
                    const std::atomic<bool>& stop, CProgressSink* progress, CWalkForward& out);

// A step of a walk-forward on the project's data cut after a day that differs from the same
// step of the run on all the data.
struct CCausalBreach {
    int32_t cutAfter = 0;  // the last day of the cut data (a serial)
    size_t step = 0;       // the step that changed
    std::string what;      // "parameters", "in-sample gain", "out-of-sample gain" or "line"
};

// Re-runs the walk-forward on the project's data and window cut after `lastDay` and compares
// every step whose test window ends by then, and the stitched line up to that day, with `run`
// (a walk-forward of the same project and settings); `breaches` gets every difference.
CStatus CompareWithCut(const CProject& project, const CWalkSettings& settings, int threads,
                       const std::atomic<bool>& stop, const CWalkForward& run, int32_t lastDay,
                       std::vector<CCausalBreach>& breaches);

// CompareWithCut after each step's test end: a walk-forward that sees no later point finds
// nothing.
CStatus CheckCausal(const CProject& project, const CWalkSettings& settings, int threads,
                    const std::atomic<bool>& stop, const CWalkForward& run,
                    std::vector<CCausalBreach>& breaches);
