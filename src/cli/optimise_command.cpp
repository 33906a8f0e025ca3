#include "cli/optimise_command.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

#include "analysis/landscape.h"
#include "analysis/optimiser.h"
#include "app/duration_text.h"
#include "app/project_commands.h"
#include "cli/cli_commands.h"
#include "cli/file_checks.h"
#include "cli/json_output.h"
#include "cli/landscape_output.h"
#include "model/progress_sink.h"
#include "model/project.h"

namespace {

// Every result set of the primary with its ratios and the plateau around it.
Json ResultSetsJson(const CProject& project, const CLandscape& landscape) {
    Json sets = Json::array();
    const CDataSet& primary = *project.Primary();
    for (size_t i = 0; i < primary.m_results.size(); ++i) {
        const CStrategyResult& r = primary.m_results[i];
        Json ratios = Json::array();
        for (const auto& ds : project.DataSets()) {
            ratios.push_back(Number(i < ds->m_results.size() ? ds->m_results[i].RC : std::nan("")));
        }
        const CPlateau plateau = PlateauAt(landscape, r.ML, r.BL, r.RC);
        sets.push_back(
            Json{{"ML", r.ML},
                 {"BL", r.BL},
                 {"GN", Number(r.GN)},
                 {"RC", ratios},
                 {"landscape", Number(landscape.At(r.ML, r.BL, landscape.RatioIndex(r.RC)))},
                 {"plateau_min", Number(plateau.low)},
                 {"plateau_mean", Number(plateau.mean)}});
    }
    return sets;
}

CStatus OutputsApart(const COptimiseOptions& options) {
    for (const std::string* path : {&options.landscapePath, &options.landscapeCsvPath}) {
        if (path->empty()) {
            continue;
        }
        for (const std::string* other : {&options.projectPath, &options.outPath}) {
            if (CStatus apart = CheckOutputIsNotInput(*path, *other); !apart) {
                return apart;
            }
        }
    }
    return CStatus::Ok();
}

// Process on a terminal: a run longer than --max-seconds is refused at once, with its steps and
// estimate (a script learns that its range is too long instead of waiting for a run it would
// have to kill); the run shows a bar on standard error when that is a terminal.
class CTerminalRunHost : public CRunHost {
  public:
    explicit CTerminalRunHost(double maxSeconds) : m_maxSeconds(maxSeconds) {}

    bool MayRunLong(const CSweepEstimate& estimate) override {
        std::ostringstream limit;
        limit << m_maxSeconds;
        m_refusal =
            LongRunText(estimate) + " Refused: longer than --max-seconds " + limit.str() + ".";
        return false;
    }
    void ShowRun(const SweepRun& run, double /*estimate*/) override {
        CTerminalProgress bar;
        const std::atomic<bool> stop{false};
        const auto start = std::chrono::steady_clock::now();
        run(stop, isatty(STDERR_FILENO) ? &bar : nullptr);
        m_seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    const std::string& Refusal() const { return m_refusal; }
    double Seconds() const { return m_seconds; }

  private:
    double m_maxSeconds;
    std::string m_refusal;
    double m_seconds = 0.0;
};

}  // namespace

int RunOptimise(const COptimiseOptions& options) {
    CProject project;
    CProjectCommands commands(project);
    CStatus status = OutputsApart(options);
    if (status) {
        status = LoadProject(commands, options.projectPath);
    }
    if (!status) {
        return Fail(status);
    }
    if (const CStatus started = commands.StartProcess(); !started) {
        return Fail("'" + options.projectPath + "': " + started.Reason());
    }
    const bool wantsLandscape =
        options.robust || !options.landscapePath.empty() || !options.landscapeCsvPath.empty();
    // Known from the range alone: refused before the sweep, not after it.
    if (const std::string refusal = LandscapeRefusal(project.m_range);
        wantsLandscape && !refusal.empty()) {
        return Fail("no landscape: " + refusal);
    }
    CTerminalRunHost host(options.maxSeconds);
    CProcessOptions process;
    process.threads = options.threads;
    process.askAboveSeconds =
        options.maxSeconds > 0.0 ? options.maxSeconds : std::numeric_limits<double>::infinity();
    process.robust = options.robust;
    if (const CStatus ran = commands.Process(host, process); !ran) {
        return Fail(host.Refusal().empty() ? "'" + options.projectPath + "': " + ran.Reason()
                                           : host.Refusal());
    }
    CDataSet* primary = project.Primary();
    const CLandscape& landscape = commands.Landscape();
    if (wantsLandscape && !landscape.Recorded()) {
        return Fail("no landscape: " + landscape.unrecorded);
    }
    std::string error;
    if (!WriteLandscapeFiles(project, landscape, commands.ResultNumber(), options.landscapePath,
                             options.landscapeCsvPath, error)) {
        return Fail(error);
    }
    if (const CStatus saved = SaveProject(commands, options.outPath); !saved) {
        return Fail(saved);
    }
    Json best = nullptr;
    if (!primary->m_results.empty()) {
        Json ratios = Json::array();
        for (const auto& ds : project.DataSets()) {
            ratios.push_back(Number(ds->m_results.empty() ? std::nan("") : ds->m_results[0].RC));
        }
        const CStrategyResult& top = primary->m_results[0];
        best = Json{{"ML", top.ML}, {"BL", top.BL}, {"GN", Number(top.GN)}, {"RC", ratios}};
    }
    Print(Json{
        {"steps", project.m_range.GetStepCount(project.DataSetCount())},
        {"results", primary->m_results.size()},
        {"seconds", host.Seconds()},
        {"best", best},
        {"output", Number(primary->m_params.OUT)},
        {"gain", Number(primary->m_params.GN)},
        {"rank", options.robust ? "robust" : "gain"},
        {"landscape_unrecorded", landscape.Recorded() ? Json(nullptr) : Json(landscape.unrecorded)},
        {"result_sets", ResultSetsJson(project, landscape)}});
    return 0;
}
