#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/strategy_params.h"

struct CLandscape;
class CProject;
class CProgressSink;

// One distinct combination of the sweep with its gain.
struct COptimiserCandidate {
    double gain = 0.0;
    int64_t visit = 0;  // position in the sweep's visit order
    int32_t ml = 0;
    int32_t bl = 0;
    std::vector<double> ratios;  // one per data set, in list order
};

// What a sweep will cost before it runs: its simulations, as GetStepCount counts them, and the
// seconds it is expected to take.
struct CSweepEstimate {
    int64_t steps = 0;
    double seconds = 0.0;
};

// The sweep behind Optimise. For each smoothing length from ML to MU of the project's range,
// every data set's ratio starts at its value when the run began; then, one data set after
// another, every ratio of the grid and every flag level is simulated with the other ratios
// held, and the data set keeps the ratio of the best candidate (one pass of coordinate ascent).
// The ten best distinct combinations of the whole run become the result sets.
//
// What does not depend on a candidate is computed once: the smoothed and normalised series per
// length, the pairing of dates between the data sets per run, the signal per ratio. The flags
// and the investment of all levels are computed in one walk over the window. The lengths are
// spread over worker threads; results do not depend on their number. Memory does not grow
// with the number of lengths unless a landscape is asked for: each worker holds its working
// arrays and its ten best. The project's
// points are only read, so the interface may paint them during a run; the result records are
// written at the end.
class COptimiser {
  public:
    // Reads what the run needs of the project: its data sets, window and ranges. `stop` is
    // polled between ratio steps and before each smoothing length; `progress` (may be null)
    // gets positions 1 to 100. REQUIRES: the project has a primary data set, and nothing
    // changes its points while Run works; `stop` and `progress` outlive the optimiser.
    COptimiser(const CProject& project, const std::atomic<bool>& stop, CProgressSink* progress);
    ~COptimiser();
    COptimiser(const COptimiser&) = delete;
    COptimiser& operator=(const COptimiser&) = delete;

    // Runs the sweep with `threads` workers (0: one per core) and returns the best distinct
    // combinations, best first. Stops early, with what it found so far, once `stop` is set.
    // With a `landscape`, also records it there (see CLandscape), unless the range has more
    // than kMaxLandscapeCells lengths x levels: then it is left empty with the reason. Without
    // one, the sweep holds nothing per length.
    std::vector<COptimiserCandidate> Run(int threads, CLandscape* landscape = nullptr);

    // Times the preparation of the first length and its first ratio steps (for about 25 ms, or
    // the whole length when it is shorter) and extrapolates to the whole sweep on `threads`
    // workers (0: one per core). Reports no progress, keeps nothing it visited and leaves Run
    // as it was.
    CSweepEstimate Estimate(int threads);

    static constexpr int kResultSets = 10;

  private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The optimisation over the project's ranges: replaces the result records of every data set
// with the best combinations found (at most kResultSets, best first). Runs on any thread;
// `threads` workers share the sweep (0: one per core). Stops early, keeping what it found, once
// `stop` is set; reports progress to `progress` (may be null); records the landscape into
// `landscape` when one is given (as COptimiser::Run does). Nothing without a primary.
void Optimise(CProject& project, int threads, const std::atomic<bool>& stop,
              CProgressSink* progress, CLandscape* landscape = nullptr);

// Why a run over `range` would record no landscape (more than kMaxLandscapeCells lengths x
// levels), as the run itself would say; empty when it would record one. Known before the run.
std::string LandscapeRefusal(const CStrategyRange& range);

// The estimate of the sweep Optimise would run on the project; zero without a primary.
CSweepEstimate EstimateSweep(const CProject& project, int threads);
