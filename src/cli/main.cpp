// quillmark-cli: the core without a display, for scripts. See README.md for the interface.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

#include "app/program_version.h"
#include "app/sample_files.h"
#include "charts/qt/chart_picture.h"
#include "cli/argument_checks.h"
#include "cli/import_command.h"
#include "cli/info_command.h"
#include "cli/optimise_command.h"
#include "cli/render_command.h"
#include "cli/resave_command.h"
#include "cli/samples_command.h"
#include "cli/simulate_command.h"
#include "cli/walk_command.h"

namespace {

constexpr int kUsageError = 2;
// Refused before QImage would try to allocate a picture this large.
constexpr int kMaxChartSide = 16384;
// Far more workers than any machine has cores; the sweep caps them at its lengths anyway.
constexpr int kMostThreads = 4096;

// The argument checks as CLI11 validators: a refused value is a usage error.
CLI::Validator NonEmptyPath() {
    return CLI::Validator([](std::string& value) { return NonEmptyPathError(value); }, "PATH");
}

CLI::Validator FiniteNonNegative() {
    return CLI::Validator([](std::string& value) { return FiniteNonNegativeError(value); },
                          "NUMBER");
}

CLI::Validator FiniteNumber() {
    return CLI::Validator([](std::string& value) { return FiniteNumberError(value); }, "NUMBER");
}

CLI::Validator WholeNumberIn(int low, int high) {
    return CLI::Validator(
        [low, high](std::string& value) { return WholeNumberInError(value, low, high); }, "INT");
}

CLI::App* AddRenderCommand(CLI::App& app, CRenderOptions& options) {
    CLI::App* render = app.add_subcommand("render", "Draw the charts of a project into a PNG");
    render->add_option("PROJECT", options.projectPath, "Project file")->required();
    render->add_option("-o", options.outPath, "PNG file to write")
        ->required()
        ->check(NonEmptyPath());
    render->add_option("--width", options.width, "Picture width in pixels (default 1000)")
        ->check(CLI::Range(1, kMaxChartSide));
    render->add_option("--height", options.height, "Picture height in pixels (default 600)")
        ->check(CLI::Range(kChartsDateStripHeight, kMaxChartSide));
    render->add_option("--result", options.resultSet, "Apply result set N first");
    render
        ->add_option("--cursor", options.cursor,
                     "Show the crosshair at this fraction of the plot width (0 to 1)")
        ->check(FiniteNumber());
    render
        ->add_option("--scale", options.scale,
                     "Physical pixels to each pixel of the layout, as on a HiDPI screen (1 to 4, "
                     "default 1)")
        ->check(WholeNumberIn(1, 4));
    return render;
}

// True, with the usage error printed, when two of a command's outputs are one file.
bool OutputsClash(const std::vector<std::pair<std::string, std::string>>& outputs) {
    std::string error;
    if (CheckOutputsApart(outputs, error)) {
        return false;
    }
    std::cerr << "quillmark-cli: error: " << error << '\n';
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Quillmark on the command line: inspect, simulate, import, save and draw.",
                 "quillmark-cli"};
    app.require_subcommand(1);
    app.set_version_flag("--version", "quillmark-cli " + ProgramVersion());

    std::string infoPath;
    CLI::App* info = app.add_subcommand("info", "Print a project's window, ranges and data sets");
    info->add_option("PROJECT", infoPath, "Project file")->required();

    CSimulateOptions simulate;
    CLI::App* sim = app.add_subcommand("simulate", "Simulate the strategy and print the outcome");
    sim->add_option("PROJECT", simulate.projectPath, "Project file")->required();
    sim->add_option("--result", simulate.resultSet, "Apply result set N first");
    sim->add_option("--series", simulate.seriesPath, "Write the primary series as CSV")
        ->check(NonEmptyPath());

    CImportOptions import;
    CLI::App* imp = app.add_subcommand("import", "Import a raw data file into a project");
    imp->add_option("RAWFILE", import.rawPath, "Raw data file")->required();
    imp->add_option("--dates-col", import.datesColumn, "Column of the dates (from 1)");
    imp->add_option("--values-col", import.valuesColumn, "Column of the values (from 1)");
    imp->add_option("--into", import.intoPath, "Project to import into (default: a new one)")
        ->check(NonEmptyPath());
    imp->add_option("-o", import.outPath, "Project file to write")
        ->required()
        ->check(NonEmptyPath());
    imp->add_option("--decimal-mark", import.decimalMark, "Decimal mark of the values: . or ,")
        ->check(CLI::IsMember({".", ","}));
    imp->add_option("--date-order", import.dateOrder, "Order of day, month and year: dmy, mdy, ymd")
        ->check(CLI::IsMember({"dmy", "mdy", "ymd"}));
    imp->add_flag("--allow-partial", import.allowPartial,
                  "Import the rows read even when many rows gave no point for one reason");

    COptimiseOptions optimise;
    CLI::App* opt = app.add_subcommand("optimise", "Run the optimisation and save the results");
    opt->add_option("PROJECT", optimise.projectPath, "Project file")->required();
    opt->add_option("-o", optimise.outPath, "Project file to write")
        ->required()
        ->check(NonEmptyPath());
    opt->add_option("--threads", optimise.threads, "Worker threads (default: all cores)")
        ->check(WholeNumberIn(0, kMostThreads));
    opt->add_option("--max-seconds", optimise.maxSeconds,
                    "Refuse a run estimated to take longer (default 600; 0: no limit)")
        ->check(FiniteNonNegative());
    opt->add_option("--landscape", optimise.landscapePath,
                    "Write the landscape (best gain per ML and BL) as a PNG heat map")
        ->check(NonEmptyPath());
    opt->add_option("--landscape-csv", optimise.landscapeCsvPath,
                    "Write the landscape as CSV: ML,BL,gain")
        ->check(NonEmptyPath());
    std::string rank = "gain";
    opt->add_option("--rank", rank, "Order the result sets by gain (default) or robust (plateau)")
        ->check(CLI::IsMember({"gain", "robust"}));

    CWalkOptions walk;
    CLI::App* wf = app.add_subcommand(
        "walkforward",
        "Optimise on training windows and test on the windows that follow. No decision uses a "
        "point after its day: each training window is optimised on the data up to its end, and "
        "the test window after it is traded day by day with the signal of the points up to that "
        "day, its normalisation fixed at the training end; one account runs through all test "
        "windows");
    wf->add_option("PROJECT", walk.projectPath, "Project file")->required();
    wf->add_option("--train", walk.train, "Training length: days, months or years (250d, 18m, 5y)")
        ->required();
    wf->add_option("--test", walk.test, "Test length and step: days, months or years")->required();
    std::string walkRank = "gain";
    wf->add_option("--rank", walkRank, "Choose by gain (default) or robust (plateau)")
        ->check(CLI::IsMember({"gain", "robust"}));
    wf->add_option("--threads", walk.threads, "Worker threads (default: all cores)")
        ->check(WholeNumberIn(0, kMostThreads));
    wf->add_option("--max-seconds", walk.maxSeconds,
                   "Refuse a run estimated to take longer, the causal check left out (default "
                   "600; 0: no limit)")
        ->check(FiniteNonNegative());
    wf->add_flag("--flat-start", walk.flatStart,
                 "Start each test window out of the market with the amount invested and chain "
                 "the windows' gains, instead of one account throughout");
    wf->add_flag("--check-causal", walk.checkCausal,
                 "Re-run on the data cut after each step's test end and report any step whose "
                 "parameters or gains change (exit 1 if one does)");
    wf->add_option("--csv", walk.csvPath, "Write the stitched out-of-sample line as CSV")
        ->check(NonEmptyPath());
    wf->add_option("--chart", walk.chartPath,
                   "Draw the stitched line against buy and hold as a PNG")
        ->check(NonEmptyPath());
    wf->add_option("--chart-width", walk.chartWidth, "Chart width in pixels (default 1000)")
        ->check(CLI::Range(1, kMaxChartSide));
    wf->add_option("--chart-height", walk.chartHeight, "Chart height in pixels (default 500)")
        ->check(CLI::Range(1, kMaxChartSide));

    std::string resaveIn, resaveOut;
    CLI::App* resave = app.add_subcommand("resave", "Read a project and write it again");
    resave->add_option("IN", resaveIn, "Project file to read")->required();
    resave->add_option("OUT", resaveOut, "Project file to write")
        ->required()
        ->check(NonEmptyPath());

    CRenderOptions render;
    CLI::App* ren = AddRenderCommand(app, render);

    CLI::App* samples =
        app.add_subcommand("samples", "Print where the sample projects and data files are");

    // CLI11 reports parse errors and help requests by exception; this is the one place that
    // turns them into an exit status.
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::cout << app.help();
        return 0;
    } catch (const CLI::CallForVersion&) {
        std::cout << app.version() << '\n';
        return 0;
    } catch (const CLI::ParseError& e) {
        std::cerr << "quillmark-cli: " << e.what() << "\n\n" << app.help();
        return kUsageError;
    }

    if (info->parsed()) {
        return RunInfo(infoPath);
    }
    if (sim->parsed()) {
        return RunSimulate(simulate);
    }
    if (imp->parsed()) {
        return RunImport(import);
    }
    if (opt->parsed()) {
        if (OutputsClash({{"-o", optimise.outPath},
                          {"--landscape", optimise.landscapePath},
                          {"--landscape-csv", optimise.landscapeCsvPath}})) {
            return kUsageError;
        }
        optimise.robust = rank == "robust";
        return RunOptimise(optimise);
    }
    if (wf->parsed()) {
        if (OutputsClash({{"--csv", walk.csvPath}, {"--chart", walk.chartPath}})) {
            return kUsageError;
        }
        walk.robust = walkRank == "robust";
        return RunWalkForward(walk);
    }
    if (ren->parsed()) {
        if (std::max(render.width, render.height) > kMaxChartSide / render.scale) {
            std::cerr << "quillmark-cli: error: --scale: the picture would be more than "
                      << kMaxChartSide << " pixels across\n";
            return kUsageError;
        }
        return RunRender(render);
    }
    if (samples->parsed()) {
        return RunSamples(ProgramFolder(argv[0]));
    }
    return RunResave(resaveIn, resaveOut);
}
