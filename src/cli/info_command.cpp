#include "cli/info_command.h"

#include "analysis/potential_gains.h"
#include "app/project_commands.h"
#include "cli/cli_commands.h"
#include "cli/json_output.h"
#include "model/project.h"

namespace {

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

}  // namespace

int RunInfo(const std::string& projectPath) {
    CProject project;
    CProjectCommands commands(project);
    CReadReport read;
    if (const CStatus loaded = LoadProject(commands, projectPath, &read); !loaded) {
        return Fail(loaded);
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
