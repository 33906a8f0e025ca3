#include "cli/simulate_command.h"

#include <cmath>
#include <cstdio>

#include "analysis/status_sink.h"
#include "analysis/strategy_figures.h"
#include "app/project_commands.h"
#include "cli/cli_commands.h"
#include "cli/file_checks.h"
#include "cli/json_output.h"
#include "model/project.h"
#include "storage/file_io.h"

namespace {

// The state at the window's end; null when no point of the primary lies in the window (the
// desktop program blanks its status bar then, which is no state).
struct CStatusRecord : CStatusSink {
    void SetStatus(const std::string& d, const std::string& n, double v, int32_t l) override {
        const bool blank = d.empty() && n.empty() && l < 0;
        status = blank ? Json(nullptr)
                       : Json{{"date", d}, {"name", n}, {"value", Number(v)}, {"level", l}};
    }
    Json status = nullptr;
};

// Whether the window holds a point of the primary, so that a simulation has a result. An
// inverted window holds none.
bool HasResult(const CProject& project) {
    const CDataSet* primary = project.Primary();
    if (primary == nullptr) {
        return false;
    }
    const auto [first, last] = primary->PointsInside(project.m_viewLimits);
    return first != last;
}

// Market entries inside the window: flag changes from 0 to 1, starting out of the market.
int64_t CountTrades(const CDataSet& ds, const CLimits& window) {
    int64_t trades = 0;
    int32_t previous = 0;
    for (const CDataPoint& p : ds.Points()) {
        if (!window.Contains(p.m_serial)) {
            continue;
        }
        trades += EntersMarket(previous, p.m_flag) ? 1 : 0;
        previous = p.m_flag;
    }
    return trades;
}

std::string SeriesCsv(const CDataSet& ds) {
    std::string csv = "date,serial,raw,diff,signal,signal_base,smooth,gross,net,flag\n";
    char number[40];
    for (const CDataPoint& p : ds.Points()) {
        csv += p.FormatDate();
        csv += ',';
        csv += std::to_string(p.m_serial);
        for (int slot = Raw; slot <= Net; ++slot) {
            std::snprintf(number, sizeof number, ",%.17g", p.GetValue(slot));
            csv += number;
        }
        csv += ',';
        csv += std::to_string(p.m_flag);
        csv += '\n';
    }
    return csv;
}

}  // namespace

int RunSimulate(const CSimulateOptions& options) {
    CProject project;
    CStatusRecord status;
    CProjectCommands commands(project, nullptr, &status);
    CStatus loaded = options.seriesPath.empty()
                         ? CStatus::Ok()
                         : CheckOutputIsNotInput(options.seriesPath, options.projectPath);
    if (loaded) {
        loaded = LoadProject(commands, options.projectPath);
    }
    if (!loaded) {
        return Fail(loaded);
    }
    const std::optional<int> applied = SimulateOrApply(commands, options.resultSet);
    const Json resultSet = applied ? Json(*applied) : Json(nullptr);
    CDataSet* primary = project.Primary();
    std::string error;
    if (primary != nullptr && !options.seriesPath.empty() &&
        !WriteFileAtomically(options.seriesPath, SeriesCsv(*primary), error)) {
        return Fail(error);
    }
    const double days = static_cast<double>(project.m_viewLimits.DayCount());
    // Without a point in the window nothing was invested: no output and no gain, not a loss.
    const bool result = HasResult(project);
    const double gain = result ? primary->m_params.GN : std::nan("");
    Print(
        Json{{"result_set", resultSet},
             {"output", Number(result ? primary->m_params.OUT : std::nan(""))},
             {"gain", Number(gain)},
             {"gain_per_year", Number(gain * 365.25 / days)},
             {"trades", primary != nullptr ? CountTrades(*primary, project.m_viewLimits) : 0},
             {"status", status.status},
             {"history_axis", AxisJson(project.m_historyLimits)},
             {"figures", primary != nullptr
                             ? FiguresJson(ComputeFigures(*primary, project.m_viewLimits), *primary)
                             : Json(nullptr)}});
    return 0;
}
