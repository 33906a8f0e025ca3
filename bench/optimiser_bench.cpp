// Benchmarks of the optimisation: the S&P 500 sample (one data set, default ranges: 9,030
// simulations) and four data sets of about 5,000 daily points with different gaps (36,120),
// each on one thread and on all cores, and the straightforward way (one full simulation per
// candidate) on a cut-down range for comparison.

#include <benchmark/benchmark.h>

#include <atomic>

#include <random>
#include <string>

#include "analysis/landscape.h"
#include "analysis/optimiser.h"
#include "analysis/simulation.h"
#include "app/walk_forward.h"
#include "charts/project_view.h"
#include "model/project.h"
#include "storage/project_io.h"

namespace {

void LoadSp500(CProject& project) {
    ReadProjectFile(project, QUILLMARK_SOURCE_DIR "/Project Files/SP500.xml");
    SetCurrentDataSet(project, project.Current());
}

// Four random walks of about 5,000 points from 2000 on, with their own weekends, holidays and
// longer gaps; the window covers the first set.
void MakeFourSets(CProject& project) {
    std::mt19937_64 rng(2024);
    std::normal_distribution<double> step(0.0, 0.012);
    for (int k = 0; k < 4; ++k) {
        CDataSet* ds = project.AddDataSet("SET" + std::to_string(k + 1));
        std::uniform_int_distribution<int> skip(0, 20 + 10 * k);
        int32_t serial = 730500 + 3 * k;
        double value = 100.0 * (k + 1);
        for (int i = 0; i < 5000; ++i) {
            serial += 1 + (serial % 7 == 5 ? 2 : 0) + (skip(rng) == 0 ? 1 : 0);
            value *= 1.0 + step(rng);
            CDataPoint p;
            p.SetSerial(serial);
            p.SetValue(Raw, value);
            ds->AppendPoint(p);
        }
        ds->m_params.RC = 0.5;
    }
    SetCurrentDataSet(project, project.Primary());
    ResetLimitsToCurrent(project);
}

void RunSweep(benchmark::State& state, void (*make)(CProject&)) {
    const int threads = static_cast<int>(state.range(0));
    CProject project;
    make(project);
    const std::atomic<bool> stop{false};
    for (auto _ : state) {
        Optimise(project, threads, stop, nullptr);
    }
    const double steps = static_cast<double>(project.m_range.GetStepCount(project.DataSetCount()));
    state.counters["simulations"] = steps;
    state.counters["sims_per_s"] = benchmark::Counter(
        steps * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_OptimiseSp500(benchmark::State& state) {
    RunSweep(state, LoadSp500);
}
BENCHMARK(BM_OptimiseSp500)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_OptimiseFourSets(benchmark::State& state) {
    RunSweep(state, MakeFourSets);
}
BENCHMARK(BM_OptimiseFourSets)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The sweep on one thread without the landscape (argument 0), with it recorded (1), and with it
// recorded and the robust sets searched over all of it (2), run back to back so that the
// figures share the machine's state.
void RunLandscapeSweep(benchmark::State& state, void (*make)(CProject&)) {
    const int64_t mode = state.range(0);
    CProject project;
    make(project);
    const std::atomic<bool> stop{false};
    CLandscape landscape;
    for (auto _ : state) {
        Optimise(project, 1, stop, nullptr, mode > 0 ? &landscape : nullptr);
        if (mode == 2) {
            RankByPlateau(project, landscape);
        }
    }
}

void BM_LandscapeSp500(benchmark::State& state) {
    RunLandscapeSweep(state, LoadSp500);
}
BENCHMARK(BM_LandscapeSp500)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

void BM_LandscapeFourSets(benchmark::State& state) {
    RunLandscapeSweep(state, MakeFourSets);
}
BENCHMARK(BM_LandscapeFourSets)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);

// The straightforward way: place each candidate in the data sets and simulate it.
void RunStraightforward(benchmark::State& state, void (*make)(CProject&)) {
    CProject project;
    make(project);
    CDataSet* p = project.Primary();
    const int64_t candidates = state.range(0);
    for (auto _ : state) {
        for (int64_t i = 0; i < candidates; ++i) {
            p->m_params.BL = static_cast<int32_t>(i % 10) * 10;
            Simulate(project, nullptr);
        }
    }
    state.counters["sims_per_s"] = benchmark::Counter(
        static_cast<double>(candidates * static_cast<int64_t>(state.iterations())),
        benchmark::Counter::kIsRate);
}

void BM_StraightforwardSp500(benchmark::State& state) {
    RunStraightforward(state, LoadSp500);
}
BENCHMARK(BM_StraightforwardSp500)->Arg(200)->Unit(benchmark::kMillisecond);

void BM_StraightforwardFourSets(benchmark::State& state) {
    RunStraightforward(state, MakeFourSets);
}
BENCHMARK(BM_StraightforwardFourSets)->Arg(100)->Unit(benchmark::kMillisecond);

// The out-of-sample check of the S&P 500 sample: five-year training and one-year test windows,
// each training window optimised with the default ranges on the data up to its end, on one
// thread; chosen by gain (argument 0) or by plateau (1).
void BM_WalkForwardSp500(benchmark::State& state) {
    CProject project;
    LoadSp500(project);
    CWalkSettings settings;
    ParsePeriod("5y", settings.train);
    ParsePeriod("1y", settings.test);
    const std::atomic<bool> stop{false};
    settings.rank = state.range(0) != 0 ? CWalkRank::Robust : CWalkRank::Gain;
    size_t steps = 0;
    for (auto _ : state) {
        CWalkForward run;
        WalkForward(project, settings, 1, stop, nullptr, run);
        steps = run.steps.size();
    }
    state.counters["steps"] = static_cast<double>(steps);
}
BENCHMARK(BM_WalkForwardSp500)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
