#include "cli/walk_command.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <iostream>

#include "analysis/progress_sink.h"
#include "app/walk_forward.h"
#include "cli/cli_commands.h"
#include "cli/file_checks.h"
#include "cli/json_output.h"
#include "model/project.h"
#include "storage/file_io.h"

namespace {

constexpr int kUsageError = 2;

struct CBarProgress : CProgressSink {
    void ReportProgress(int32_t position) override {
        std::fprintf(stderr, "\r[%-50s] %3d%%",
                     std::string(static_cast<size_t>(position / 2), '#').c_str(), position);
        if (position == 100) {
            std::fputc('\n', stderr);
        }
    }
};

Json WindowJson(const CLimits& window) {
    return Json{{"start", DateJson(window.start)}, {"end", DateJson(window.end)}};
}

Json StepJson(const CWalkStep& step) {
    Json ratios = Json::array();
    for (double rc : step.ratios) {
        ratios.push_back(Number(rc));
    }
    return Json{{"train", WindowJson(step.train)},
                {"test", WindowJson(step.test)},
                {"ML", step.ml},
                {"BL", step.bl},
                {"RC", ratios},
                {"in_sample_gain", Number(step.inSampleGain)},
                {"out_of_sample_gain", Number(step.outOfSampleGain)},
                {"trades", step.trades}};
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
    std::string error;
    const bool csvApart = options.csvPath.empty() ||
                          CheckOutputIsNotInput(options.csvPath, options.projectPath, error);
    if (!csvApart || !LoadProject(project, options.projectPath, error)) {
        return Fail(error);
    }
    if (project.Primary() == nullptr) {
        return Fail("'" + options.projectPath + "' has no data set to test");
    }
    const std::atomic<bool> stop{false};
    CBarProgress bar;
    CWalkForward run;
    const CStatus done =
        WalkForward(project, train, test, options.robust ? CWalkRank::Robust : CWalkRank::Gain,
                    options.threads, stop, isatty(STDERR_FILENO) ? &bar : nullptr, run);
    if (!done) {
        return Fail(done.Reason());
    }
    if (!options.csvPath.empty() && !WriteFileAtomically(options.csvPath, LineCsv(run), error)) {
        return Fail(error);
    }
    Json steps = Json::array();
    for (const CWalkStep& step : run.steps) {
        steps.push_back(StepJson(step));
    }
    const CWalkFigures& f = run.figures;
    const Json figures{{"days", f.days},
                       {"gain", Number(f.gain)},
                       {"gain_per_year_compounded", Number(f.gainPerYearCompounded)},
                       {"buy_and_hold", Number(f.buyAndHold)},
                       {"buy_and_hold_per_year_compounded", Number(f.buyAndHoldPerYearCompounded)},
                       {"max_drawdown", Number(f.maxDrawdown)},
                       {"trades", f.trades},
                       {"in_market", Number(f.inMarket)}};
    std::cout << Dump(Json{{"train", options.train},
                           {"test", options.test},
                           {"rank", options.robust ? "robust" : "gain"},
                           {"steps", steps},
                           {"figures", figures}})
              << '\n';
    return 0;
}
