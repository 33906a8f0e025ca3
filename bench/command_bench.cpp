// Benchmarks of the editing commands on a project of 1,000,000 points, through the same command
// functions the desktop program calls, with a host that draws nothing: what each costs on the
// main thread besides painting. Every command but the page switch ends in a simulation, which
// cannot be taken out of it; BM_CommandSimulationAlone measures that simulation on its own, so
// the difference is what the command adds to it.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>

#include "analysis/simulation.h"
#include "app/project_commands.h"
#include "charts/project_view.h"
#include "charts/scaling.h"
#include "model/project.h"
#include "storage/project_io.h"

namespace {

constexpr int kPoints = 1'000'000;

// The desktop program's host without its windows: refreshes and redraws cost nothing, and no
// page holds a refused entry.
class CSilentHost : public CCommandHost {
  public:
    void Refresh(RefreshCode /*code*/) override {}
    void AddRecentFile(const std::string& /*path*/) override {}
    void RedrawCharts() override {}
    bool StoreEdits() override { return true; }
};

// One data set of a random walk on working days, two stored result sets, and the window one zoom
// step in (the later four fifths), so that pan and zoom have room both ways.
CProject& MillionPointProject() {
    static CProject project;
    if (project.DataSetCount() == 0) {
        CDataSet* ds = project.AddDataSet("Index");
        std::mt19937_64 rng(7);
        std::normal_distribution<double> step(0.0, 0.01);
        double value = 1000.0;
        for (int i = 0; i < kPoints; ++i) {
            CDataPoint p;
            p.SetSerial(10000 + i + i / 5 * 2);  // five days on, two off
            value *= 1.0 + step(rng);
            p.SetValue(Raw, value);
            ds->AppendPoint(p);
        }
        ds->m_params.RC = 1.0;
        for (const int32_t length : {30, 90}) {
            CStrategyResult& result = ds->AddResult();
            result.ML = length;
            result.RC = 1.0;
        }
        SetCurrentDataSet(project, ds);
        ResetLimitsToCurrent(project);
        CLimits window;
        project.GetLimits(window);
        SetLimits(project, ZoomWindow(window, +1));
    }
    return project;
}

CProjectCommands& Commands() {
    static CSilentHost host;
    static CProjectCommands commands(MillionPointProject(), &host);
    return commands;
}

// The simulation the commands end in, over the benchmarks' window (0) or, as after Limits, over
// every point (1).
void BM_CommandSimulationAlone(benchmark::State& state) {
    CProject& project = MillionPointProject();
    CLimits window;
    project.GetLimits(window);
    if (state.range(0) == 1) {
        ResetLimitsToCurrent(project);
    }
    for (auto _ : state) {
        Simulate(project, nullptr);
        benchmark::DoNotOptimize(project.Primary()->m_params.GN);
    }
    SetLimits(project, window);
}
BENCHMARK(BM_CommandSimulationAlone)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_CommandUpdate(benchmark::State& state) {
    CProjectCommands& commands = Commands();
    for (auto _ : state) {
        commands.Simulate();
    }
}
BENCHMARK(BM_CommandUpdate)->Unit(benchmark::kMillisecond);

// Steps alternately one way and back, so the window stays about where it was; `first` is the
// way with room.
void StepCase(benchmark::State& state, WindowStep stepWindow, int first) {
    CProjectCommands& commands = Commands();
    int direction = first;
    for (auto _ : state) {
        commands.StepWindow(stepWindow, direction);
        direction = -direction;
    }
}

void BM_CommandPan(benchmark::State& state) {
    StepCase(state, PanWindow, -1);
}
BENCHMARK(BM_CommandPan)->Unit(benchmark::kMillisecond);

void BM_CommandZoom(benchmark::State& state) {
    StepCase(state, ZoomWindow, +1);
}
BENCHMARK(BM_CommandZoom)->Unit(benchmark::kMillisecond);

// Limits widens the window to every point, so its simulation walks a quarter more points than
// the others'; the window is put back outside the timing.
void BM_CommandLimits(benchmark::State& state) {
    CProjectCommands& commands = Commands();
    CProject& project = commands.Project();
    CLimits window;
    project.GetLimits(window);
    for (auto _ : state) {
        commands.ResetWindow();
        state.PauseTiming();
        SetLimits(project, window);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CommandLimits)->Unit(benchmark::kMillisecond);

void BM_CommandResultSet(benchmark::State& state) {
    CProjectCommands& commands = Commands();
    int32_t n = 1;
    for (auto _ : state) {
        commands.ApplyResultSet(n);
        n = 3 - n;
    }
}
BENCHMARK(BM_CommandResultSet)->Unit(benchmark::kMillisecond);

// A page switch runs no command: the page shows raw values again, which scales the value axis
// over the window; the rest is the repaint.
void BM_PageSwitch(benchmark::State& state) {
    CProject& project = MillionPointProject();
    int32_t slot = Raw;
    for (auto _ : state) {
        SetDisplaySlot(project, slot);
        slot = slot == Raw ? Smooth : Raw;
    }
}
BENCHMARK(BM_PageSwitch)->Unit(benchmark::kMillisecond);

// File Open of the project saved: the read on the worker and what follows it on the main thread
// (the current set's gains, the simulation of the file's parameters, the axes), as the command
// line runs it. The host's ShowRead runs the read in place here.
void BM_CommandOpen(benchmark::State& state) {
    const std::string path =
        (std::filesystem::temp_directory_path() / "quillmark-bench-open.xml").string();
    if (!WriteProjectFile(MillionPointProject(), path)) {
        state.SkipWithError("cannot write the project");
        return;
    }
    for (auto _ : state) {
        CProject project;
        CSilentHost host;
        CProjectCommands commands(project, &host);
        const bool opened = commands.OpenProject(path).IsOk();
        benchmark::DoNotOptimize(opened);
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_CommandOpen)->Unit(benchmark::kMillisecond);

}  // namespace
