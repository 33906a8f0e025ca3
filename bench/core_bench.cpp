// Benchmarks of the core: the weighted moving average and full simulations.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "analysis/series_filters.h"
#include "analysis/simulation.h"
#include "charts/project_view.h"
#include "model/project.h"

namespace {

struct Series {
    std::vector<int32_t> serials;
    std::vector<double> values;
};

Series RandomDaily(size_t count) {
    std::mt19937_64 rng(1);
    std::uniform_int_distribution<int> gap(1, 3);
    std::normal_distribution<double> step(0.0, 0.01);
    Series s;
    int32_t serial = 730500;
    double value = 1000.0;
    for (size_t i = 0; i < count; ++i) {
        serial += gap(rng);
        value *= 1.0 + step(rng);
        s.serials.push_back(serial);
        s.values.push_back(value);
    }
    return s;
}

void BM_WeightedAverage(benchmark::State& state) {
    Series s = RandomDaily(static_cast<size_t>(state.range(0)));
    std::vector<double> out(s.values.size());
    const auto days = static_cast<int32_t>(state.range(1));
    for (auto _ : state) {
        WeightedAverageSeries(s.serials, s.values, out, days);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_WeightedAverage)->ArgsProduct({{5000, 100000}, {1, 20, 200}});

// The S&P 500 closes shipped with the program (ISO dates, close in the fifth column).
void LoadSp500(CDataSet& ds) {
    std::ifstream in(QUILLMARK_SOURCE_DIR "/Data Files/sp500-2000.csv");
    std::string line;
    while (std::getline(in, line)) {
        int year = 0, month = 0, day = 0;
        double open = 0, high = 0, low = 0, close = 0;
        if (std::sscanf(line.c_str(), "%d-%d-%d,%lf,%lf,%lf,%lf", &year, &month, &day, &open, &high,
                        &low, &close) == 7) {
            CDataPoint p;
            p.SetDate(day, month, year);
            p.SetValue(Raw, close);
            ds.AppendPoint(p);
        }
    }
}

void BM_SimulateSp500(benchmark::State& state) {
    CProject project;
    CDataSet* ds = project.AddDataSet("S&P 500");
    LoadSp500(*ds);
    if (ds->Points().empty()) {
        state.SkipWithError("Data Files/sp500-2000.csv not found");
        return;
    }
    SetCurrentDataSet(project, ds);
    ResetLimitsToCurrent(project);
    ds->m_params.RC = 1.0;
    for (auto _ : state) {
        Simulate(project, nullptr);
        benchmark::DoNotOptimize(ds->m_params.GN);
    }
    state.counters["points"] = static_cast<double>(ds->Points().size());
}
BENCHMARK(BM_SimulateSp500)->Unit(benchmark::kMicrosecond);

// The simulation as Open runs it on a project of about 1,000,000 points in two data sets (the
// second lacks every 13th day of the first), the window over every point.
void BM_SimulateMillionPoints(benchmark::State& state) {
    CProject project;
    const Series series = RandomDaily(520'000);
    for (const size_t skip : {0, 13}) {
        CDataSet* ds = project.AddDataSet(skip == 0 ? "Index" : "Other");
        for (size_t i = 0; i < series.serials.size(); ++i) {
            if (skip != 0 && i % skip == 0) {
                continue;
            }
            CDataPoint p;
            p.SetSerial(series.serials[i]);
            p.SetValue(Raw, series.values[i]);
            ds->AppendPoint(p);
        }
        ds->m_params.RC = 0.5;
    }
    SetCurrentDataSet(project, project.DataSets()[0].get());
    ResetLimitsToCurrent(project);
    for (auto _ : state) {
        Simulate(project, nullptr);
        benchmark::DoNotOptimize(project.Primary()->m_params.GN);
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);  // about that many points
}
BENCHMARK(BM_SimulateMillionPoints)->Unit(benchmark::kMillisecond);

}  // namespace
