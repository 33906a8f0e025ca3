#include "cli/cli_commands.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <limits>
#include <sstream>

#include "analysis/landscape.h"
#include "analysis/optimiser.h"
#include "analysis/potential_gains.h"
#include "analysis/progress_sink.h"
#include "analysis/status_sink.h"
#include "analysis/strategy_figures.h"
#include "app/duration_text.h"
#include "app/project_commands.h"
#include "charts/project_view.h"
#include "cli/file_checks.h"
#include "cli/json_output.h"
#include "cli/landscape_output.h"
#include "model/project.h"
#include "storage/file_io.h"

namespace {

void Print(const Json& json) {
    std::cout << Dump(json) << '\n';
}

bool SaveProject(CProjectCommands& commands, const std::string& path, std::string& error) {
    const CStatus saved = commands.SaveProject(path);
    error = saved.Reason();
    return saved.IsOk();
}

Json OptionalDate(const CDataSet& ds, bool last) {
    if (ds.Points().empty()) {
        return nullptr;
    }
    return DateJson(last ? ds.Points().back() : ds.Points().front());
}

Json DataSetJson(CDataSet& ds) {
    const CStrategyParams& p = ds.m_params;
    Json results = Json::array();
    for (const CStrategyResult& r : ds.m_results) {
        results.push_back(
            Json{{"ML", r.ML}, {"RC", Number(r.RC)}, {"BL", r.BL}, {"GN", Number(r.GN)}});
    }
    ComputePotentialGains(ds);
    return Json{{"name", ds.m_name},
                {"currency", ds.m_currency},
                {"comment", ds.m_comment},
                {"points", ds.Points().size()},
                {"first", OptionalDate(ds, false)},
                {"last", OptionalDate(ds, true)},
                {"params",
                 {{"ML", p.ML},
                  {"RC", Number(p.RC)},
                  {"BL", p.BL},
                  {"IN", Number(p.IN)},
                  {"TT", Number(p.TT)},
                  {"GN", Number(p.GN)}}},
                {"results", results},
                {"gains",
                 {{"raw_rises", Number(ds.m_gains[RawRises])},
                  {"raw_falls", Number(ds.m_gains[RawFalls])},
                  {"smoothed_rises", Number(ds.m_gains[SmoothRises])},
                  {"smoothed_falls", Number(ds.m_gains[SmoothFalls])}}}};
}

Json ReasonJson(const CImportReason& reason) {
    return Json{{"count", reason.count}, {"lines", reason.lines}};
}

const char* SeparatorName(char separator) {
    switch (separator) {
        case ',':
            return "comma";
        case ';':
            return "semicolon";
        case '\t':
            return "tab";
        case '|':
            return "bar";
        case ' ':
            return "blanks";
        default:
            return "commas and blanks";
    }
}

Json ImportReportJson(const CImportReport& report) {
    return Json{{"name", report.name},
                {"lines", report.lines},
                {"points", report.points},
                {"skipped", report.skipped},
                {"blank", ReasonJson(report.blank)},
                {"no_date", ReasonJson(report.noDate)},
                {"bad_date", ReasonJson(report.badDate)},
                {"bad_value", ReasonJson(report.badValue)},
                {"merged", ReasonJson(report.merged)},
                {"out_of_order", ReasonJson(report.outOfOrder)},
                {"separator", SeparatorName(report.separator)},
                {"decimal_mark", std::string(1, report.decimalMark)},
                {"date_order", report.dateOrder == 1   ? "month-first"
                               : report.dateOrder == 2 ? "year-first"
                                                       : "day-first"},
                {"date_order_guessed", report.dateOrderGuessed},
                {"date_numbers", report.dateNumbers},
                {"time_column", report.timeColumn},
                {"encoding", report.encoding},
                {"bad_month", ReasonJson(report.badMonth)},
                {"partial", report.refusal}};
}

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

// A progress bar on a terminal's standard error.
struct CTerminalProgress : CProgressSink {
    void ReportProgress(int32_t position) override {
        std::fprintf(stderr, "\r[%-50s] %3d%%",
                     std::string(static_cast<size_t>(position / 2), '#').c_str(), position);
        if (position == 100) {
            std::fputc('\n', stderr);
        }
    }
};

}  // namespace

int Fail(const std::string& message) {
    std::cerr << "quillmark-cli: error: " << message << '\n';
    return 1;
}

std::optional<int> SimulateOrApply(CProjectCommands& commands,
                                   const std::optional<int>& resultSet) {
    if (!resultSet) {
        return std::nullopt;
    }
    int32_t n = *resultSet;
    commands.ApplyResultSet(n);
    return n;
}

bool LoadProject(CProjectCommands& commands, const std::string& path, std::string& error,
                 CReadReport* report) {
    if (!CheckInputFile(path, error)) {
        return false;
    }
    CReadReport read;
    const CStatus opened = commands.OpenProject(path, &read);
    if (!opened) {
        error = opened.Reason();
        return false;
    }
    if (read.LostPoints()) {
        std::cerr << "quillmark-cli: warning: " << path << ": " << read.Summary() << '\n';
    }
    if (report != nullptr) {
        *report = read;
    }
    return true;
}

int RunInfo(const std::string& projectPath) {
    CProject project;
    CProjectCommands commands(project);
    std::string error;
    CReadReport read;
    if (!LoadProject(commands, projectPath, error, &read)) {
        return Fail(error);
    }
    const CLimits& window = project.m_viewLimits;
    const CStrategyRange& range = project.m_range;
    Json current = nullptr;
    Json datasets = Json::array();
    for (size_t i = 0; i < project.DataSets().size(); ++i) {
        if (project.DataSets()[i].get() == project.Current()) {
            current = i;
        }
    }
    // The view axis belongs to the current data set; the gains of every set are computed after.
    Json viewAxis = AxisJson(window);
    for (const auto& ds : project.DataSets()) {
        datasets.push_back(DataSetJson(*ds));
    }
    Print(Json{{"window",
                {{"start", DateJson(window.start)},
                 {"end", DateJson(window.end)},
                 {"days", window.DayCount()}}},
               {"range",
                {{"ML", range.ML},
                 {"MU", range.MU},
                 {"RR", range.RR},
                 {"BL", range.BL},
                 {"BI", range.BI}}},
               {"current", current},
               {"view_axis", viewAxis},
               {"datasets", datasets},
               {"read",
                {{"points", read.points},
                 {"dropped_points", read.droppedPoints},
                 {"dropped_lines", read.droppedLines},
                 {"bad_dates", read.badDates},
                 {"bad_date_lines", read.badDateLines},
                 {"bad_values", read.badValues},
                 {"bad_value_lines", read.badValueLines},
                 {"bad_numbers", read.badNumbers},
                 {"bad_number_lines", read.badNumberLines}}}});
    return 0;
}

int RunSimulate(const CSimulateOptions& options) {
    CProject project;
    CStatusRecord status;
    CProjectCommands commands(project, nullptr, &status);
    std::string error;
    const bool seriesApart = options.seriesPath.empty() ||
                             CheckOutputIsNotInput(options.seriesPath, options.projectPath, error);
    if (!seriesApart || !LoadProject(commands, options.projectPath, error)) {
        return Fail(error);
    }
    const std::optional<int> applied = SimulateOrApply(commands, options.resultSet);
    const Json resultSet = applied ? Json(*applied) : Json(nullptr);
    CDataSet* primary = project.Primary();
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

namespace {

// What the user can change on this command line after a refusal.
std::string ImportHint(const CImportReport& report) {
    if (report.refusal.empty() || report.points == 0) {
        return "";
    }
    return report.mayForce ? " (--allow-partial imports the rows read)"
                           : " (--decimal-mark . or --decimal-mark ,)";
}

}  // namespace

int RunImport(const CImportOptions& options) {
    CProject project;
    CProjectCommands commands(project);
    std::string error;
    // A project written over the project it extends is an ordinary save; over the raw data, a loss.
    if (!CheckInputFile(options.rawPath, error) ||
        !CheckOutputIsNotInput(options.outPath, options.rawPath, error)) {
        return Fail(error);
    }
    if (!options.intoPath.empty() && !LoadProject(commands, options.intoPath, error)) {
        return Fail(error);
    }
    CImportChoices choices;
    choices.datesColumn = options.datesColumn;
    choices.valuesColumn = options.valuesColumn;
    choices.decimalMark = options.decimalMark.empty() ? 0 : options.decimalMark.front();
    choices.dateOrder = options.dateOrder == "dmy"   ? 0
                        : options.dateOrder == "mdy" ? 1
                        : options.dateOrder == "ymd" ? 2
                                                     : -1;
    choices.allowPartial = options.allowPartial;
    CImportReport report;
    const CStatus imported = commands.ImportRawData(options.rawPath, choices, &report);
    if (!imported) {
        return Fail(imported.Reason() + ImportHint(report));
    }
    if (options.intoPath.empty()) {
        ResetLimitsToCurrent(project);
    }
    if (!SaveProject(commands, options.outPath, error)) {
        return Fail(error);
    }
    const CDataSet& ds = *report.dataSet;
    Json json = ImportReportJson(report);
    json["first"] = OptionalDate(ds, false);
    json["last"] = OptionalDate(ds, true);
    Print(json);
    return 0;
}

int RunResave(const std::string& inPath, const std::string& outPath) {
    CProject project;
    CProjectCommands commands(project);
    std::string error;
    if (!LoadProject(commands, inPath, error) || !SaveProject(commands, outPath, error)) {
        return Fail(error);
    }
    return 0;
}

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

bool OutputsApart(const COptimiseOptions& options, std::string& error) {
    for (const std::string* path : {&options.landscapePath, &options.landscapeCsvPath}) {
        if (!path->empty() && (!CheckOutputIsNotInput(*path, options.projectPath, error) ||
                               !CheckOutputIsNotInput(*path, options.outPath, error))) {
            return false;
        }
    }
    return true;
}

}  // namespace

namespace {

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
    std::string error;
    if (!OutputsApart(options, error) || !LoadProject(commands, options.projectPath, error)) {
        return Fail(error);
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
    if (!WriteLandscapeFiles(project, landscape, commands.ResultNumber(), options.landscapePath,
                             options.landscapeCsvPath, error) ||
        !SaveProject(commands, options.outPath, error)) {
        return Fail(error);
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
