#include "analysis/optimiser.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "analysis/landscape.h"
#include "analysis/series_filters.h"
#include "model/data_set.h"
#include "model/progress_sink.h"
#include "model/project.h"

namespace {

// How one point of the primary series takes its value in one blend step, from pairing its
// dates with a data set's: blended with that set's point q, the value of the last blended
// point (0 before the first), or 0 after the pairing has ended.
constexpr int32_t kCarry = -1;
constexpr int32_t kZero = -2;

// The pairing of the primary's dates with a data set's, walked exactly as the blend walks it.
std::vector<int32_t> PairDates(const std::vector<int32_t>& primary,
                               const std::vector<int32_t>& other) {
    std::vector<int32_t> plan(primary.size(), kZero);
    const size_t n = primary.size();
    const size_t m = other.size();
    if (n == 0 || m == 0) {
        return plan;
    }
    size_t t = 0;
    size_t q = 0;
    while (true) {
        while (other[q] < primary[t] && q + 1 < m) {
            ++q;
        }
        while (other[q] > primary[t] && t + 1 < n) {
            plan[t] = kCarry;
            ++t;
        }
        plan[t] = static_cast<int32_t>(q);
        if (t + 1 >= n || q + 1 >= m) {
            return plan;
        }
        ++t;
        ++q;
    }
}

// A blend step prepared for arrays: the points of the primary that are blended with a point of
// the data set, and the others, which take the value of the last blended point before them (or
// 0 when there is none, or when the pairing has ended).
struct BlendPlan {
    std::vector<int32_t> pairs;  // per primary point: the paired point of the set, or a code
    std::vector<std::pair<int32_t, int32_t>> fills;  // (point, last blended point or -1)
};

BlendPlan MakeBlendPlan(std::vector<int32_t> pairs) {
    BlendPlan plan;
    int32_t lastBlended = -1;
    for (size_t t = 0; t < pairs.size(); ++t) {
        if (pairs[t] >= 0) {
            lastBlended = static_cast<int32_t>(t);
        } else {
            plan.fills.emplace_back(static_cast<int32_t>(t), pairs[t] == kCarry ? lastBlended : -1);
        }
    }
    plan.pairs = std::move(pairs);
    return plan;
}

// The set's normalised changes laid out on the primary's points (0 where none is paired).
std::vector<double> Gather(const BlendPlan& plan, const std::vector<double>& diff) {
    std::vector<double> gathered(plan.pairs.size(), 0.0);
    for (size_t t = 0; t < gathered.size(); ++t) {
        if (plan.pairs[t] >= 0) {
            gathered[t] = diff[static_cast<size_t>(plan.pairs[t])];
        }
    }
    return gathered;
}

// One blend step with the very operations of the data set's blend: every blended point is
// base x (1 - |ratio|) + change x ratio, computed for all points at once; the others are then
// filled in from the points they repeat.
void BlendInto(const std::vector<double>& base, const std::vector<double>& gathered,
               const BlendPlan& plan, double ratio, std::vector<double>& out) {
    const double keep = 1.0 - std::fabs(ratio);
    const size_t n = base.size();
    const double* b = base.data();
    const double* g = gathered.data();
    double* o = out.data();
    for (size_t t = 0; t < n; ++t) {
        o[t] = b[t] * keep + g[t] * ratio;
    }
    for (const auto& [t, source] : plan.fills) {
        o[t] = source >= 0 ? o[source] : 0.0;
    }
}

// Sets of flag levels as bits: one word for up to 64 levels, two for up to 128.
struct WideMask {
    uint64_t lo = 0;
    uint64_t hi = 0;
    WideMask operator|(WideMask o) const { return {lo | o.lo, hi | o.hi}; }
    WideMask operator&(WideMask o) const { return {lo & o.lo, hi & o.hi}; }
    WideMask operator^(WideMask o) const { return {lo ^ o.lo, hi ^ o.hi}; }
    WideMask operator~() const { return {~lo, ~hi}; }
    explicit operator bool() const { return (lo | hi) != 0; }
};

template <typename Mask>
Mask LowLevels(int count);

template <>
uint64_t LowLevels<uint64_t>(int count) {
    return count >= 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
}

template <>
WideMask LowLevels<WideMask>(int count) {
    return {LowLevels<uint64_t>(count), count <= 64 ? 0 : LowLevels<uint64_t>(count - 64)};
}

template <typename F>
void ForEachLevel(uint64_t bits, int offset, F f) {
    for (; bits != 0; bits &= bits - 1) {
        f(offset + __builtin_ctzll(bits));
    }
}

template <typename F>
void ForEachLevel(WideMask bits, F f) {
    ForEachLevel(bits.lo, 0, f);
    ForEachLevel(bits.hi, 64, f);
}

template <typename F>
void ForEachLevel(uint64_t bits, F f) {
    ForEachLevel(bits, 0, f);
}

// The lowest level in the set, or `count` when it holds none of the first `count` levels.
int LowestLevel(uint64_t bits, int count) {
    return bits == 0 ? count : std::min(count, __builtin_ctzll(bits));
}
int LowestLevel(WideMask bits, int count) {
    return bits.lo != 0 ? LowestLevel(bits.lo, count)
                        : std::min(count, 64 + LowestLevel(bits.hi, 64));
}

bool HasLevel(uint64_t bits, int j) {
    return (bits >> j) & 1;
}
bool HasLevel(WideMask bits, int j) {
    return j < 64 ? HasLevel(bits.lo, j) : HasLevel(bits.hi, j - 64);
}

// The investment of one flag level, updated only where its flag changes.
struct LevelBook {
    double net = 0.0;
    double netBase = 0.0;
    double entryPrice = 0.0;
};

// Everything a run needs of the project, copied when it starts.
struct Inputs {
    std::vector<std::vector<int32_t>> serials;  // per data set
    std::vector<std::vector<double>> raw;       // per data set
    std::vector<BlendPlan> plans;               // per data set: pairing with the primary
    std::vector<double> startRatios;
    size_t first = 0;  // primary points inside the window: [first, last)
    size_t last = 0;
    double input = 0.0;
    double charge = 0.0;
    double outputBefore = 0.0;  // the primary's output, which an empty window keeps
    int32_t lowLength = 0;
    std::vector<double> ratioGrid;
    std::vector<int32_t> levels;
    std::vector<double> hiBand;  // level x 0.01
    std::vector<double> loBand;  // -level x 0.01
};

// Where the sweep of one length records its cells of the landscape: ratios x levels of them,
// and the ratios each data set's pass chose.
struct LandscapeRow {
    struct Cells {
        double* gains;
        uint8_t* trades;
        int32_t* visits;
    };
    double* gains;
    uint8_t* trades;
    int32_t* visits;
    double* chosen;
    size_t levelCount;
    const int32_t* gridColumns;         // per grid index: its ratio's column
    const std::vector<double>* ratios;  // the landscape's ratios, rising

    Cells At(int32_t column) const {
        const size_t at = static_cast<size_t>(column) * levelCount;
        return {gains + at, trades + at, visits + at};
    }
    // The column of a ratio of the grid; -1 for one off it (a start ratio kept).
    int32_t ColumnOf(double ratio) const {
        const auto at = std::lower_bound(ratios->begin(), ratios->end(), ratio);
        return at != ratios->end() && *at == ratio ? static_cast<int32_t>(at - ratios->begin())
                                                   : -1;
    }
};

// Keeps the best distinct combinations seen so far, best first.
class CBestList {
  public:
    static bool Better(const COptimiserCandidate& a, double gain, int64_t visit) {
        bool aNan = std::isnan(a.gain);
        bool bNan = std::isnan(gain);
        if (aNan != bNan) {
            return bNan;
        }
        if (!aNan && a.gain != gain) {
            return a.gain > gain;
        }
        return a.visit < visit;
    }

    // Offers a candidate; a combination already held was visited earlier and stays.
    void Offer(double gain, int64_t visit, int32_t ml, int32_t bl,
               const std::vector<double>& ratios) {
        if (m_list.size() == COptimiser::kResultSets && Better(m_list.back(), gain, visit)) {
            return;
        }
        for (const COptimiserCandidate& c : m_list) {
            if (c.ml == ml && c.bl == bl && c.ratios == ratios) {
                return;
            }
        }
        size_t at = 0;
        while (at < m_list.size() && Better(m_list[at], gain, visit)) {
            ++at;
        }
        m_list.insert(m_list.begin() + static_cast<std::ptrdiff_t>(at),
                      COptimiserCandidate{gain, visit, ml, bl, ratios});
        if (m_list.size() > COptimiser::kResultSets) {
            m_list.pop_back();
        }
    }

    std::vector<COptimiserCandidate>& List() { return m_list; }

  private:
    std::vector<COptimiserCandidate> m_list;
};

// 0 asks for one worker per core.
int64_t WorkerCount(int threads) {
    return threads > 0 ? threads : std::max(1u, std::thread::hardware_concurrency());
}

// The ratios one data set's sweep visits at `resolution` steps per unit: 2 x resolution + 3
// of them from below -1 to above 1, clamped into -1 to 1 (so the ends appear twice).
std::vector<double> RatioGrid(int32_t resolution) {
    std::vector<double> grid;
    for (int64_t j = 0; j <= 2 * int64_t{resolution} + 2; ++j) {
        double r = static_cast<double>(j - resolution - 1) / resolution;
        grid.push_back(std::clamp(r, -1.0, 1.0));
    }
    return grid;
}

}  // namespace

struct COptimiser::Impl {
    const CProject& project;
    const std::atomic<bool>& stop;
    CProgressSink* progress;
    Inputs in;
    int64_t stepTotal = 0;
    int64_t lengthCount = 0;
    std::atomic<int64_t> done{0};
    std::atomic<int> reported{0};
    std::mutex progressLock;

    Impl(const CProject& p, const std::atomic<bool>& s, CProgressSink* sink)
        : project(p), stop(s), progress(sink) {}

    void Prepare();
    // The working arrays of one worker, reused from one length to the next.
    struct Workspace {
        std::vector<std::vector<double>> diffs;  // per data set, on the primary's points
        std::vector<double> ratios, prefix, signal, scratch, gains;
        std::vector<uint8_t> traded;
    };
    void PrepareLength(int64_t lengthIndex, Workspace& w) const;
    // The coordinate ascent of one prepared length, every visit offered to `best`.
    // `stopHere` is asked before each ratio step; returns the ratio steps done. `row` (may be
    // null) gets, per flag level, the best gain over the ratios visited.
    template <typename StopHere>
    int64_t SweepRatios(int64_t lengthIndex, Workspace& w, CBestList& best, StopHere stopHere,
                        const LandscapeRow* row);
    CSweepEstimate Measure(int threads);
    void EvaluateLevels(const std::vector<double>& signal, std::vector<double>& gains,
                        std::vector<uint8_t>& traded) const;
    template <typename Mask>
    void WalkLevels(const std::vector<double>& signal, std::vector<double>& gains,
                    std::vector<uint8_t>& traded) const;

    // The levels whose upper band a signal value is above, and those whose lower band it is
    // below (all of them for a value that is not a number): both are prefixes of the levels,
    // since the bands widen with the level.
    struct LevelCode {
        uint8_t up;
        uint8_t down;
    };
    LevelCode Classify(double s) const {
        const int count = static_cast<int>(in.levels.size());
        if (std::isnan(s)) {
            return {0, static_cast<uint8_t>(count)};
        }
        // Start from the estimate |s| / band step, which is almost always right, and correct
        // it against the exact bands.
        const double estimate = std::fabs(s) * bandsPerUnit;
        const int guess = estimate < count ? static_cast<int>(estimate) + 1 : count;
        if (s > 0.0) {
            return {CountBands(guess, [&](size_t j) { return s > in.hiBand[j]; }), 0};
        }
        if (s < 0.0) {
            return {0, CountBands(guess, [&](size_t j) { return s < in.loBand[j]; })};
        }
        return {0, 0};
    }

    // The length of the prefix of bands that `passes`, searched from `guess`.
    template <typename Passes>
    uint8_t CountBands(int guess, Passes passes) const {
        const int count = static_cast<int>(in.levels.size());
        int n = guess;
        while (n < count && passes(static_cast<size_t>(n))) {
            ++n;
        }
        while (n > 0 && !passes(static_cast<size_t>(n - 1))) {
            --n;
        }
        return static_cast<uint8_t>(n);
    }

    double bandsPerUnit = 0.0;
    void Advance(int64_t simulations);
};

void COptimiser::Impl::Prepare() {
    const CDataSet& primary = *project.Primary();
    const auto& sets = project.DataSets();
    for (const auto& ds : sets) {
        std::vector<int32_t> serials;
        std::vector<double> raw;
        for (const CDataPoint& p : ds->Points()) {
            serials.push_back(p.m_serial);
            raw.push_back(p.GetValue(Raw));
        }
        in.serials.push_back(std::move(serials));
        in.raw.push_back(std::move(raw));
        in.startRatios.push_back(ds->m_params.RC);
    }
    for (const auto& serials : in.serials) {
        in.plans.push_back(MakeBlendPlan(PairDates(in.serials.front(), serials)));
    }
    const CLimits& window = project.m_viewLimits;
    const auto& p = in.serials.front();
    in.first = static_cast<size_t>(std::lower_bound(p.begin(), p.end(), window.start.m_serial) -
                                   p.begin());
    in.last =
        static_cast<size_t>(std::upper_bound(p.begin(), p.end(), window.end.m_serial) - p.begin());
    in.last = std::max(in.first, in.last);
    in.input = primary.m_params.IN;
    in.charge = primary.m_params.TT;
    in.outputBefore = primary.m_params.OUT;

    const CStrategyRange& range = project.m_range;
    stepTotal = range.GetStepCount(project.DataSetCount());
    const int32_t resolution = std::max(range.RR, 1);
    in.lowLength = range.ML;
    lengthCount = std::max<int64_t>(1, int64_t{range.MU} - range.ML + 1);
    in.ratioGrid = RatioGrid(resolution);
    const int32_t step = EffectiveFlagStep(range.BI);
    const int32_t levelCount = std::max(1, 100 / step);
    for (int32_t j = 0; j < levelCount; ++j) {
        const int32_t level = j * step;
        in.levels.push_back(level);
        in.hiBand.push_back(level * 0.01);
        in.loBand.push_back(-(level * 0.01));
    }
    bandsPerUnit = 100.0 / step;
}

// The gain of every flag level for one signal, in one walk over the window: the market flags of
// all levels are kept as bits, and each level's investment changes only where its flag does.
void COptimiser::Impl::EvaluateLevels(const std::vector<double>& signal, std::vector<double>& gains,
                                      std::vector<uint8_t>& traded) const {
    if (in.first == in.last) {
        std::fill(gains.begin(), gains.end(), (in.outputBefore - in.input) * 100.0 / in.input);
        std::fill(traded.begin(), traded.end(), uint8_t{0});
    } else if (in.levels.size() <= 64) {
        WalkLevels<uint64_t>(signal, gains, traded);
    } else {
        WalkLevels<WideMask>(signal, gains, traded);
    }
}

template <typename Mask>
void COptimiser::Impl::WalkLevels(const std::vector<double>& signal, std::vector<double>& gains,
                                  std::vector<uint8_t>& traded) const {
    const int levelCount = static_cast<int>(in.levels.size());
    const double* price = in.raw.front().data();
    const double* value = signal.data();
    const double input = in.input;
    const double charge = in.charge;
    Mask low[129];
    for (int count = 0; count <= levelCount; ++count) {
        low[count] = LowLevels<Mask>(count);
    }
    LevelBook books[128];
    for (int j = 0; j < levelCount; ++j) {
        books[j] = LevelBook{input, 0.0, 0.0};
    }
    // Levels enter from the lowest band up and leave from the lowest band up, so the held
    // levels change only when the signal passes the band of the lowest level not held (entry)
    // or of the lowest level held (exit). Between such points the walk only compares.
    Mask held{};
    Mask everHeld{};
    double enterAbove = in.hiBand[0];
    double leaveBelow = -INFINITY;
    for (size_t t = in.first; t < in.last; ++t) {
        const double s = value[t];
        if (s <= enterAbove && s >= leaveBelow) {
            continue;  // NaN falls through
        }
        const LevelCode code = Classify(s);
        const Mask now = (held | low[code.up]) & ~low[code.down];
        const Mask changed = now ^ held;
        if (!changed) {
            continue;
        }
        const double p = price[t];
        ForEachLevel(changed & now, [&](int j) {
            LevelBook& b = books[j];
            b.entryPrice = p;
            b.net -= charge;
            b.netBase = b.net;
        });
        ForEachLevel(changed & held, [&](int j) {
            LevelBook& b = books[j];
            if (b.entryPrice != 0.0) {
                // A zero exit price keeps the previous day's value, when the level still held.
                b.net = (p != 0.0 ? p : price[t - 1]) * b.netBase / b.entryPrice;
            }
            b.net -= charge;
        });
        held = now;
        everHeld = everHeld | now;
        const int lowestFree = LowestLevel(~held, levelCount);
        enterAbove =
            lowestFree < levelCount ? in.hiBand[static_cast<size_t>(lowestFree)] : INFINITY;
        const int lowestHeld = LowestLevel(held, levelCount);
        leaveBelow =
            lowestHeld < levelCount ? in.loBand[static_cast<size_t>(lowestHeld)] : -INFINITY;
    }
    const double lastPrice = price[in.last - 1];
    for (int j = 0; j < levelCount; ++j) {
        const LevelBook& b = books[j];
        double out = b.net;
        if (HasLevel(held, j) && b.entryPrice != 0.0) {
            out = lastPrice * b.netBase / b.entryPrice;
        }
        gains[static_cast<size_t>(j)] = (out - input) * 100.0 / input;
        traded[static_cast<size_t>(j)] = HasLevel(everHeld, j) ? 1 : 0;
    }
}

void COptimiser::Impl::Advance(int64_t simulations) {
    const int64_t now = done.fetch_add(simulations) + simulations;
    const int position = static_cast<int>(
        std::min(100.0, 100.0 * static_cast<double>(now) / static_cast<double>(stepTotal)));
    if (position <= reported.load() || progress == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(progressLock);
    for (int p = reported.load() + 1; p <= position; ++p) {
        progress->ReportProgress(p);
    }
    reported = std::max(reported.load(), position);
}

void COptimiser::Impl::PrepareLength(int64_t lengthIndex, Workspace& w) const {
    const int32_t ml = static_cast<int32_t>(in.lowLength + lengthIndex);
    const size_t setCount = in.serials.size();
    w.diffs.resize(setCount);
    for (size_t k = 0; k < setCount; ++k) {
        const auto& serials = in.serials[k];
        std::vector<double>& d = w.diffs[k];
        d.resize(serials.size());
        WeightedAverageSeries(serials, in.raw[k], d, ml);
        DifferentiateSeries(serials, d, d);
        NormaliseSeries(d, d);
        d = Gather(in.plans[k], d);
    }
}

// Keeps, per level, the better of a cell's recorded gain and the new one (the first visited
// on a tie); NaN never replaces a number.
void RecordBest(const std::vector<double>& gains, const std::vector<uint8_t>& traded, int32_t visit,
                LandscapeRow::Cells cells) {
    for (size_t l = 0; l < gains.size(); ++l) {
        const double gain = gains[l];
        if (!std::isnan(gain) && (std::isnan(cells.gains[l]) || gain > cells.gains[l])) {
            cells.gains[l] = gain;
            cells.trades[l] = traded[l];
            cells.visits[l] = visit;
        }
    }
}

template <typename StopHere>
int64_t COptimiser::Impl::SweepRatios(int64_t lengthIndex, Workspace& w, CBestList& best,
                                      StopHere stopHere, const LandscapeRow* row) {
    const int32_t ml = static_cast<int32_t>(in.lowLength + lengthIndex);
    const size_t setCount = in.serials.size();
    const size_t n = in.serials.front().size();
    const size_t gridSize = in.ratioGrid.size();
    const size_t levelCount = in.levels.size();
    std::vector<double>& ratios = w.ratios;
    std::vector<double>& prefix = w.prefix;
    std::vector<double>& signal = w.signal;
    std::vector<double>& scratch = w.scratch;
    std::vector<double>& gains = w.gains;
    ratios = in.startRatios;
    prefix.assign(n, 0.0);
    signal.resize(n);
    scratch.resize(n);
    gains.resize(levelCount);
    w.traded.resize(levelCount);
    const auto& diffs = w.diffs;
    const int64_t visitsPerLength = static_cast<int64_t>(setCount * gridSize * levelCount);
    int64_t visit = lengthIndex * visitsPerLength;
    int64_t steps = 0;
    for (size_t k = 0; k < setCount; ++k) {
        double bestGain = std::nan("");
        double bestRatio = ratios[k];
        for (size_t j = 0; j < gridSize; ++j, ++steps) {
            if (stopHere()) {
                return steps;
            }
            const double r = in.ratioGrid[j];
            // A ratio repeated from the previous grid value gives the same gains.
            if (j == 0 || r != in.ratioGrid[j - 1]) {
                BlendInto(prefix, diffs[k], in.plans[k], r, signal);
                for (size_t later = k + 1; later < setCount; ++later) {
                    BlendInto(signal, diffs[later], in.plans[later], ratios[later], scratch);
                    signal.swap(scratch);
                }
                EvaluateLevels(signal, gains, w.traded);
            }
            ratios[k] = r;
            for (size_t l = 0; l < levelCount; ++l, ++visit) {
                const double gain = gains[l];
                best.Offer(gain, visit, ml, in.levels[l], ratios);
                if (!std::isnan(gain) && (std::isnan(bestGain) || gain > bestGain)) {
                    bestGain = gain;
                    bestRatio = r;
                }
            }
            if (row != nullptr) {
                // A later data set's pass keeps the primary's chosen ratio.
                const int32_t column = k == 0 ? row->gridColumns[j] : row->ColumnOf(ratios[0]);
                if (column >= 0) {
                    RecordBest(gains, w.traded, static_cast<int32_t>(k * gridSize + j),
                               row->At(column));
                }
            }
            Advance(static_cast<int64_t>(levelCount));
        }
        ratios[k] = bestRatio;
        // The base of the next block: the blend up to this data set with its chosen ratio.
        BlendInto(prefix, diffs[k], in.plans[k], ratios[k], scratch);
        prefix.swap(scratch);
    }
    if (row != nullptr) {
        std::copy(ratios.begin(), ratios.end(), row->chosen);
    }
    return steps;
}

// Long enough for the clock to resolve a few ratio steps, short enough to go unnoticed before a
// run.
constexpr std::chrono::milliseconds kMeasureBudget{25};

CSweepEstimate COptimiser::Impl::Measure(int threads) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    Workspace w;
    PrepareLength(0, w);
    const auto prepared = Clock::now();
    const auto deadline = prepared + kMeasureBudget;
    // The measurement's visits are not the run's: they neither report nor count.
    CProgressSink* const sink = std::exchange(progress, nullptr);
    CBestList ignored;
    int64_t asked = 0;
    const int64_t steps = SweepRatios(
        0, w, ignored, [&] { return ++asked > 1 && Clock::now() >= deadline; }, nullptr);
    const std::chrono::duration<double> preparing = prepared - start;
    const std::chrono::duration<double> sweeping = Clock::now() - prepared;
    progress = sink;
    done = 0;
    const double stepsPerLength = static_cast<double>(in.serials.size() * in.ratioGrid.size());
    const double perLength =
        preparing.count() + sweeping.count() / static_cast<double>(steps) * stepsPerLength;
    const int64_t workers = std::min<int64_t>(WorkerCount(threads), lengthCount);
    return {stepTotal, perLength * static_cast<double>(lengthCount) / static_cast<double>(workers)};
}

COptimiser::COptimiser(const CProject& project, const std::atomic<bool>& stop,
                       CProgressSink* progress)
    : m_impl(std::make_unique<Impl>(project, stop, progress)) {
    m_impl->Prepare();
}

COptimiser::~COptimiser() = default;

namespace {

std::string TooManyCells(int64_t cells) {
    return cells > kMaxLandscapeCells
               ? "the range has " + std::to_string(cells) +
                     " smoothing lengths x ratios x flag levels, more than the " +
                     std::to_string(kMaxLandscapeCells) + " a landscape records"
               : std::string();
}

// The ratios of a grid in ascending order, each once: the landscape's columns of ratios.
std::vector<double> DistinctRatios(std::vector<double> grid) {
    std::sort(grid.begin(), grid.end());
    grid.erase(std::unique(grid.begin(), grid.end()), grid.end());
    return grid;
}

// Sizes `landscape` for the run's lengths, ratios and levels, with no cell visited; or, when
// that is more than kMaxLandscapeCells, leaves it empty and says why.
void PrepareLandscape(const Inputs& in, int64_t lengths, CLandscape& landscape) {
    landscape = CLandscape{};
    std::vector<double> ratios = DistinctRatios(in.ratioGrid);
    const int64_t cells =
        lengths * static_cast<int64_t>(ratios.size()) * static_cast<int64_t>(in.levels.size());
    landscape.unrecorded = TooManyCells(cells);
    if (!landscape.unrecorded.empty()) {
        return;
    }
    const auto count = static_cast<size_t>(cells);
    landscape.lowLength = in.lowLength;
    landscape.lengthCount = static_cast<int32_t>(lengths);
    landscape.levels = in.levels;
    landscape.ratios = std::move(ratios);
    landscape.gains.assign(count, std::numeric_limits<double>::quiet_NaN());
    landscape.trades.assign(count, 0);
    landscape.visits.assign(count, -1);
    landscape.grid = in.ratioGrid;
    landscape.startRatios = in.startRatios;
    landscape.chosenRatios.assign(static_cast<size_t>(lengths) * in.startRatios.size(),
                                  std::numeric_limits<double>::quiet_NaN());
}

}  // namespace

std::vector<COptimiserCandidate> COptimiser::Run(int threads, CLandscape* landscape) {
    Impl& impl = *m_impl;
    const int64_t lengths = impl.lengthCount;
    CLandscape* recorded = nullptr;
    std::vector<int32_t> gridColumns;
    if (landscape != nullptr) {
        PrepareLandscape(impl.in, lengths, *landscape);
        recorded = landscape->Recorded() ? landscape : nullptr;
        for (double r : impl.in.ratioGrid) {
            gridColumns.push_back(landscape->RatioIndex(r));
        }
    }
    const size_t levelCount = impl.in.levels.size();
    const int workers = static_cast<int>(std::min<int64_t>(WorkerCount(threads), lengths));
    // Each worker keeps its own ten best: the order of the list depends only on gain and visit,
    // so merging them at the end gives what one list of every visit would, in memory that does
    // not grow with the number of lengths.
    std::vector<CBestList> best(static_cast<size_t>(workers));
    std::atomic<int64_t> next{0};
    // A cancelled run leaves the lengths it has not started: preparing one costs as much as a
    // few simulations, and a long sweep has many.
    auto work = [&](CBestList& mine) {
        Impl::Workspace w;
        const auto stopped = [&] { return impl.stop.load(std::memory_order_relaxed); };
        for (int64_t i = next++; i < lengths && !impl.stop.load(); i = next++) {
            impl.PrepareLength(i, w);
            // Each length is one worker's, so its row is written by that worker alone.
            if (recorded == nullptr) {
                impl.SweepRatios(i, w, mine, stopped, nullptr);
                continue;
            }
            const size_t at = static_cast<size_t>(i) * recorded->ratios.size() * levelCount;
            const LandscapeRow row{
                recorded->gains.data() + at,
                recorded->trades.data() + at,
                recorded->visits.data() + at,
                recorded->chosenRatios.data() + static_cast<size_t>(i) * impl.in.startRatios.size(),
                levelCount,
                gridColumns.data(),
                &recorded->ratios};
            impl.SweepRatios(i, w, mine, stopped, &row);
        }
    };
    std::vector<std::thread> pool;
    for (size_t i = 1; i < best.size(); ++i) {
        pool.emplace_back(work, std::ref(best[i]));
    }
    work(best[0]);
    for (std::thread& t : pool) {
        t.join();
    }
    CBestList merged;
    for (CBestList& list : best) {
        for (const COptimiserCandidate& c : list.List()) {
            merged.Offer(c.gain, c.visit, c.ml, c.bl, c.ratios);
        }
    }
    return std::move(merged.List());
}

CSweepEstimate COptimiser::Estimate(int threads) {
    return m_impl->Measure(threads);
}

void Optimise(CProject& project, int threads, const std::atomic<bool>& stop,
              CProgressSink* progress, CLandscape* landscape) {
    if (project.Primary() == nullptr) {
        return;
    }
    const std::vector<COptimiserCandidate> best =
        COptimiser(project, stop, progress).Run(threads, landscape);
    const auto& sets = project.DataSets();
    for (size_t k = 0; k < sets.size(); ++k) {
        CDataSet& ds = *sets[k];
        ds.ClearResults();
        for (const COptimiserCandidate& c : best) {
            CStrategyResult& result = ds.AddResult();
            result.ML = c.ml;
            result.BL = c.bl;
            result.RC = c.ratios[k];
            result.GN = c.gain;
        }
    }
}

std::string LandscapeRefusal(const CStrategyRange& range) {
    // As the run sizes its grid: the lengths ML to MU, the distinct ratios of its grid and
    // 100 / step flag levels.
    const int64_t lengths = std::max<int64_t>(1, int64_t{range.MU} - range.ML + 1);
    const auto ratios =
        static_cast<int64_t>(DistinctRatios(RatioGrid(std::max(range.RR, 1))).size());
    const int64_t levels = std::max(1, 100 / EffectiveFlagStep(range.BI));
    return TooManyCells(lengths * ratios * levels);
}

CSweepEstimate EstimateSweep(const CProject& project, int threads) {
    if (project.Primary() == nullptr) {
        return {};
    }
    const std::atomic<bool> running{false};
    return COptimiser(project, running, nullptr).Estimate(threads);
}
