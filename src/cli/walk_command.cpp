#include "cli/walk_command.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <vector>

#include <QGuiApplication>
#include <QImage>

#include "app/walk_forward.h"
#include "charts/qt/walk_picture.h"
#include "cli/cli_commands.h"
#include "model/progress_sink.h"

#include "app/duration_text.h"
#include "app/project_commands.h"
#include "cli/file_checks.h"
#include "cli/json_output.h"
#include "cli/render_command.h"
#include "model/project.h"
#include "storage/file_io.h"

namespace {

constexpr int kUsageError = 2;

Json WindowJson(const CLimits& window) {
    return Json{{"start", DateJson(window.start)}, {"end", DateJson(window.end)}};
}

Json StepJson(const CWalkStep& step) {
    Json ratios = Json::array();
    for (double rc : step.ratios) {
        ratios.push_back(Number(rc));
    }
    const auto chosen = [&](Json value) { return step.chosen ? value : Json(nullptr); };
    return Json{{"train", WindowJson(step.train)},
                {"test", WindowJson(step.test)},
                {"ML", chosen(step.ml)},
                {"BL", chosen(step.bl)},
                {"RC", chosen(ratios)},
                {"in_sample_gain", Number(step.inSampleGain)},
                {"out_of_sample_gain", Number(step.outOfSampleGain)},
                {"starts_in_market", step.startsInMarket},
                {"points", step.points},
                {"trades", step.trades}};
}

// Runs the causal check and prints every step that changed on stderr; false when one did.
bool CheckCausalRun(const CProject& project, const CWalkSettings& settings, int threads,
                    const CWalkForward& run, std::string& error) {
    const std::atomic<bool> stop{false};
    std::vector<CCausalBreach> breaches;
    if (CStatus checked = CheckCausal(project, settings, threads, stop, run, breaches); !checked) {
        error = checked.Reason();
        return false;
    }
    for (const CCausalBreach& b : breaches) {
        CDataPoint day;
        day.SetSerial(b.cutAfter);
        std::cerr << "quillmark-cli: data cut after " << day.FormatDate() << " changes the "
                  << b.what;
        if (b.step < run.steps.size()) {
            std::cerr << " of step " << b.step + 1;
        }
        std::cerr << '\n';
    }
    if (!breaches.empty()) {
        error = "the walk-forward used points after the days it decided on";
        return false;
    }
    return true;
}

std::string LineCsv(const CWalkForward& run) {
    std::string csv = "date,serial,net,buy_and_hold\n";
    char numbers[80];
    for (const CWalkPoint& p : run.line) {
        std::snprintf(numbers, sizeof numbers, ",%.17g,%.17g\n", p.net, p.hold);
        csv += p.date.FormatDate() + ',' + std::to_string(p.date.m_serial) + numbers;
    }
    return csv;
}

bool WriteChart(const CWalkForward& run, const CWalkOptions& options, std::string& error) {
    std::vector<CWalkPicturePoint> line;
    line.reserve(run.line.size());
    for (const CWalkPoint& p : run.line) {
        line.push_back({p.date.m_serial, p.net, p.hold});
    }
    // The first test window starts where the line does, so only the later starts mark a change.
    std::vector<int32_t> boundaries;
    for (size_t i = 1; i < run.steps.size(); ++i) {
        boundaries.push_back(run.steps[i].test.start.m_serial);
    }
    const auto application = StartOffscreenApplication();
    const QImage image =
        PaintWalkForward(line, boundaries, options.chartWidth, options.chartHeight);
    return WritePng(image, options.chartPath, error);
}

int UsageFail(const std::string& message) {
    std::cerr << "quillmark-cli: error: " << message << '\n';
    return kUsageError;
}

}  // namespace

int RunWalkForward(const CWalkOptions& options) {
    CPeriod train;
    CPeriod test;
    if (CStatus read = ParsePeriod(options.train, train); !read) {
        return UsageFail("--train: " + read.Reason());
    }
    if (CStatus read = ParsePeriod(options.test, test); !read) {
        return UsageFail("--test: " + read.Reason());
    }
    CProject project;
    CProjectCommands commands(project);
    CStatus loaded = CStatus::Ok();
    for (const std::string* output : {&options.csvPath, &options.chartPath}) {
        if (loaded && !output->empty()) {
            loaded = CheckOutputIsNotInput(*output, options.projectPath);
        }
    }
    if (loaded) {
        loaded = LoadProject(commands, options.projectPath);
    }
    if (!loaded) {
        return Fail(loaded);
    }
    if (project.Primary() == nullptr) {
        return Fail("'" + options.projectPath + "' has no data set to test");
    }
    const std::atomic<bool> stop{false};
    std::string error;
    CTerminalProgress bar;
    CWalkForward run;
    CWalkSettings settings{train, test, options.robust ? CWalkRank::Robust : CWalkRank::Gain,
                           options.flatStart};
    // Refused at once, as optimise refuses, rather than a run a script would have to kill.
    if (const CSweepEstimate estimate = EstimateWalkForward(project, settings, options.threads);
        options.maxSeconds > 0.0 && estimate.seconds > options.maxSeconds) {
        std::ostringstream limit;
        limit << options.maxSeconds;
        return Fail(LongRunText(estimate) + " Refused: longer than --max-seconds " + limit.str() +
                    ".");
    }
    const CStatus done = WalkForward(project, settings, options.threads, stop,
                                     isatty(STDERR_FILENO) ? &bar : nullptr, run);
    if (!done) {
        return Fail(done.Reason());
    }
    if (options.checkCausal && !CheckCausalRun(project, settings, options.threads, run, error)) {
        return Fail(error);
    }
    if (!options.csvPath.empty() && !WriteFileAtomically(options.csvPath, LineCsv(run), error)) {
        return Fail(error);
    }
    if (!options.chartPath.empty() && !WriteChart(run, options, error)) {
        return Fail(error);
    }
    Json steps = Json::array();
    for (const CWalkStep& step : run.steps) {
        steps.push_back(StepJson(step));
    }
    const Json figures =
        run.line.empty() ? Json(nullptr) : FiguresJson(run.figures, [&](int64_t index) {
            return static_cast<size_t>(index) < run.line.size()
                       ? &run.line[static_cast<size_t>(index)].date
                       : nullptr;
        });
    std::cout << Dump(Json{{"train", options.train},
                           {"test", options.test},
                           {"rank", options.robust ? "robust" : "gain"},
                           {"account", options.flatStart ? "flat_start" : "continuous"},
                           {"causal_check", options.checkCausal ? Json("passed") : Json(nullptr)},
                           {"steps", steps},
                           {"figures", figures}})
              << '\n';
    return 0;
}
