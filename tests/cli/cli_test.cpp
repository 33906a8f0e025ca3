// quillmark-cli as scripts use it: the real program, run on temporary files.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "support/test_files.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
    nlohmann::json Json() const { return nlohmann::json::parse(out, nullptr, false); }
};

const std::string kSample = std::string(QUILLMARK_SOURCE_DIR) + "/Project Files/SP500.xml";
const std::string kQuoted = "'" + kSample + "'";

const char* kRaw =
    "Date,Close\n01/02/2003,100\n01/03/2003,101\n01/06/2003,103\n"
    "01/07/2003,102\n01/08/2003,105\n01/09/2003,104\n";

long Lines(const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
}

class CliTest : public ::testing::Test {
  protected:
    // Runs the program with `args`, in which {} stands for the temporary folder, without a
    // display: render must pick Qt's offscreen platform itself, whatever the environment says.
    // A run that takes longer than `seconds` is stopped and counts as a failure (status 124).
    CliRun Cli(std::string args, int seconds = 120) {
        for (size_t at; (at = args.find("{}")) != std::string::npos;) {
            args.replace(at, 2, folder.Path());
        }
        const std::string err = folder.PathOf("stderr.txt");
        const std::string command =
            "env DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=xcb timeout -k 1 " +
            std::to_string(seconds) + " " + QUILLMARK_CLI + " " + args + " 2>'" + err + "'";
        CliRun run;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            run.out.append(buffer, got);
        }
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = FileText(err);
        return run;
    }

    // The run failed with status 1 and one error line, and printed nothing on stdout.
    static void ExpectRefused(const CliRun& run, const std::string& args, const char* reason) {
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_EQ(Lines(run.err), 1) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << args;
    }

    TempFolder folder;
};

// Usage errors exit with 2; unreadable files, and a file that gives no point (with its
// counts), with 1 and one error line; nothing is written.
TEST_F(CliTest, UsageErrorsExitWithTwoAndUnreadableFilesWithOneErrorLine) {
    for (const char* args :
         {"", "frobnicate x", "info", "import raw.csv", "render x.xml",
          "render x.xml -o x.png --width 0", "render x.xml -o x.png --scale 0",
          "render x.xml -o x.png --scale 1.5", "render x.xml -o x.png --height 8200 --scale 2",
          "walkforward x.xml --train 0y --test 1y", "walkforward x.xml --train 5w --test 1y",
          "walkforward x.xml --train 5y --test 1y --chart x.png --chart-width 0"}) {
        EXPECT_EQ(Cli(args).status, 2) << args;
    }
    // Numbers that are not finite or not numbers, and empty output paths, are refused in a
    // line (no 309-digit bound); so are two outputs on one file, before anything is read.
    folder.File("L.csv", "");
    ASSERT_EQ(symlink("W.png", folder.PathOf("link.png").c_str()), 0);
    for (const char* args :
         {"optimise x.xml -o o.xml --max-seconds nan", "optimise x.xml -o o.xml --max-seconds inf",
          "optimise x.xml -o o.xml --max-seconds -1", "optimise x.xml -o o.xml --threads abc",
          "optimise x.xml -o o.xml --threads 1.5", "render x.xml -o x.png --cursor nan",
          "simulate x.xml --series ''", "render x.xml -o ''", "optimise x.xml -o ''",
          "optimise x.xml -o o.xml --landscape ''", "import r.csv -o ''", "resave x.xml ''",
          "import r.csv --into '' -o o.xml", "walkforward x.xml --train 5y --test 1y --csv ''",
          "optimise {}/none.xml -o {}/X --landscape {}/X",
          "optimise {}/none.xml -o {}/o.xml --landscape {}/Y --landscape-csv {}/Y",
          "optimise {}/none.xml -o {}/L.csv --landscape-csv {}/./L.csv",
          "walkforward {}/none.xml --train 5y --test 1y --csv {}/W.png --chart {}/link.png"}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_LT(run.err.find('\n'), 300u) << run.err;
        EXPECT_EQ(run.err.find("1797693"), std::string::npos) << run.err;
    }
    EXPECT_FALSE(fs::exists(folder.PathOf("X")) || fs::exists(folder.PathOf("Y")) ||
                 fs::exists(folder.PathOf("W.png")));
    EXPECT_EQ(Cli("optimise {}/none.xml -o {}/X --landscape {}/X").err,
              "quillmark-cli: error: -o '" + folder.PathOf("X") + "' and --landscape '" +
                  folder.PathOf("X") + "' are one file; one output would replace the other\n");

    const CliRun bogus = Cli("info a.xml --bogus");
    EXPECT_EQ(bogus.status, 2);
    EXPECT_NE(bogus.err.find("Usage"), std::string::npos);
    EXPECT_EQ(Cli("--help").status, 0);

    folder.File("missing.csv", "DATE,VALUE\n2003-01-02,.\n2003-01-03,.\n");
    for (const char* args :
         {"info {}/missing.xml", "info {}", "import {}/none.csv -o {}/o.xml",
          "render {}/none.xml -o {}/x.png", "walkforward {}/none.xml --train 1y --test 1y"}) {
        ExpectRefused(Cli(args), args, "quillmark-cli: error: ");
    }
    EXPECT_EQ(Cli("import {}/missing.csv -o {}/o.xml").err,
              "quillmark-cli: error: 'missing.csv' gave no point: 3 lines read; 1 line without a "
              "date (line 1); 2 values not a number (lines 2, 3); read with fields separated by "
              "commas, decimal point, dates month first\n");
    EXPECT_FALSE(fs::exists(folder.PathOf("o.xml")));
    EXPECT_FALSE(fs::exists(folder.PathOf("x.png")));
}

TEST_F(CliTest, ImportThenInfoSimulateRenderAndResave) {
    folder.File("quotes.csv", kRaw);
    const CliRun imported = Cli("import {}/quotes.csv -o {}/p.xml");
    ASSERT_EQ(imported.status, 0) << imported.err;
    const nlohmann::json summary = imported.Json();
    EXPECT_EQ(summary["name"], "QUOTES");
    EXPECT_EQ(summary["points"], 6);
    EXPECT_EQ(summary["date_order"], "month-first");
    EXPECT_EQ(summary["skipped"], 1);
    EXPECT_EQ(summary["no_date"], (nlohmann::json{{"count", 1}, {"lines", {1}}}));

    const nlohmann::json info = Cli("info {}/p.xml").Json();
    EXPECT_EQ(info["window"]["days"], 8);
    EXPECT_EQ(info["datasets"][0]["points"], 6);

    const CliRun sim = Cli("simulate {}/p.xml");
    ASSERT_EQ(sim.status, 0) << sim.err;
    EXPECT_EQ(sim.Json()["output"], 1000.0);  // the default ratio 0 never enters the market

    // It renders without a display.
    const CliRun render = Cli("render {}/p.xml --cursor 0.5 -o {}/p.png");
    ASSERT_EQ(render.status, 0) << render.err;
    EXPECT_EQ(FileText(folder.PathOf("p.png")).substr(1, 3), "PNG");
    // At a scale the layout stays and the pixels grow: IHDR's big-endian width and height.
    const CliRun fine = Cli("render {}/p.xml --width 300 --height 200 --scale 2 -o {}/p.png");
    ASSERT_EQ(fine.status, 0) << fine.err;
    EXPECT_EQ(fine.Json()["width"], 300);
    EXPECT_EQ(fine.Json()["scale"], 2);
    EXPECT_EQ(FileText(folder.PathOf("p.png")).substr(16, 8),
              std::string("\0\0\x02\x58\0\0\x01\x90", 8));

    // Resaving gives back the same bytes; a target that cannot be written leaves what was
    // there and no temporary file.
    ASSERT_EQ(Cli("resave {}/p.xml {}/second.xml").status, 0);
    EXPECT_EQ(FileText(folder.PathOf("p.xml")), FileText(folder.PathOf("second.xml")));
    fs::create_directory(folder.PathOf("folder"));
    EXPECT_EQ(Cli("resave {}/p.xml {}/folder").status, 1);
    EXPECT_TRUE(fs::is_directory(folder.PathOf("folder")));
    EXPECT_EQ(Cli("resave {}/p.xml {}/no/x.xml").status, 1);
    // quotes.csv, p.xml, p.png, second.xml, folder, stderr.txt
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 6);
}

// A run estimated to take longer than --max-seconds (600 by default) is refused after a few
// milliseconds of measuring, before anything is written; walkforward estimates its steps' sweeps.
TEST_F(CliTest, OptimiseAndWalkForwardRefuseARunLongerThanMaxSeconds) {
    std::string sample = FileText(kSample);
    const size_t mu = sample.find("MU=\"40\"");
    ASSERT_NE(mu, std::string::npos);
    for (const auto& [high, limit] :
         {std::pair{"2000000", " --max-seconds 1"}, std::pair{"2147483647", ""}}) {
        folder.File("long.xml",
                    std::string(sample).replace(mu, 7, "MU=\"" + std::string(high) + "\""));
        for (const std::string command : {"optimise {}/long.xml -o {}/out.xml",
                                          "walkforward {}/long.xml --train 2y "
                                          "--test 1y --csv {}/out.csv"}) {
            const std::string args = command + limit;
            const CliRun run = Cli(args, 10);
            ExpectRefused(run, args, "steps and would take about");
            EXPECT_NE(run.err.find(limit[0] != 0 ? "--max-seconds 1." : "--max-seconds 600."),
                      std::string::npos)
                << run.err;
        }
    }
    EXPECT_FALSE(fs::exists(folder.PathOf("out.xml")) || fs::exists(folder.PathOf("out.csv")));
}

// A refused import names what to pass: the decimal mark, or --allow-partial to take the rows
// read; the JSON then says why the import is partial.
TEST_F(CliTest, RefusedImportsTakeTheChoicesOfTheCommandLine) {
    folder.File("yields.csv", "Datum;Rendite\n02.01.2024;2.035\n03.01.2024;2.012\n");
    folder.File("fund.csv", "Date,Close\n2024-01-02,null\n2024-01-03,null\n2024-01-04,10.12\n");
    const CliRun undecided = Cli("import {}/yields.csv -o {}/p.xml");
    EXPECT_EQ(undecided.status, 1);
    EXPECT_NE(undecided.err.find("(--decimal-mark . or --decimal-mark ,)"), std::string::npos)
        << undecided.err;
    const CliRun point = Cli("import {}/yields.csv --decimal-mark . --date-order dmy -o {}/p.xml");
    ASSERT_EQ(point.status, 0) << point.err;
    EXPECT_EQ(point.Json()["first"]["date"], "1/2/2024");
    const CliRun partial = Cli("import {}/fund.csv -o {}/p.xml");
    EXPECT_NE(partial.err.find("(--allow-partial imports the rows read)"), std::string::npos)
        << partial.err;
    const CliRun anyway = Cli("import {}/fund.csv --allow-partial -o {}/p.xml");
    ASSERT_EQ(anyway.status, 0) << anyway.err;
    EXPECT_EQ(anyway.Json()["points"], 1);
    EXPECT_EQ(anyway.Json()["bad_value"]["lines"], (nlohmann::json{2, 3}));
    EXPECT_NE(anyway.Json()["partial"].get<std::string>().find("2 of 3 dated rows"),
              std::string::npos);
}

// A picture or a CSV written over the project, or a project over the raw data (under any of
// its names), would destroy an input; a project written atomically over itself is a save.
TEST_F(CliTest, AnOutputThatIsOneOfTheInputsIsRefused) {
    const std::string raw = folder.File("quotes.csv", kRaw);
    folder.File("b.txt", "Date,Open,Close\n2003-01-02,5,6\n2003-01-03,7,8\n");
    ASSERT_EQ(Cli("import {}/quotes.csv -o {}/p.xml").status, 0);
    const std::string project = FileText(folder.PathOf("p.xml"));
    ASSERT_EQ(symlink("p.xml", folder.PathOf("link.xml").c_str()), 0);
    ASSERT_EQ(link(raw.c_str(), folder.PathOf("same.csv").c_str()), 0);
    for (const char* args :
         {"render {}/p.xml -o {}/p.xml", "render {}/link.xml -o {}/p.xml",
          "simulate {}/p.xml --series {}/link.xml", "import {}/quotes.csv -o {}/quotes.csv",
          "import {}/quotes.csv --into {}/p.xml -o {}/quotes.csv",
          "import {}/same.csv -o {}/quotes.csv",
          "walkforward {}/p.xml --train 5y --test 1y --csv {}/p.xml",
          "walkforward {}/p.xml --train 5y --test 1y --chart {}/link.xml"}) {
        ExpectRefused(Cli(args), args, "same file as the input");
    }
    EXPECT_TRUE(FileText(folder.PathOf("p.xml")) == project);
    EXPECT_TRUE(FileText(raw) == kRaw);

    ASSERT_EQ(Cli("resave {}/p.xml {}/link.xml").status, 0);
    ASSERT_EQ(Cli("optimise {}/p.xml -o {}/p.xml --threads 1").status, 0);
    const CliRun added = Cli("import {}/b.txt --values-col 3 --into {}/p.xml -o {}/p.xml");
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.Json()["name"], "B");
    const nlohmann::json info = Cli("info {}/p.xml").Json();
    ASSERT_EQ(info["datasets"].size(), 2u);
    EXPECT_EQ(info["datasets"][1]["points"], 2);
    EXPECT_EQ(info["window"]["days"], 8);  // the window stays the first import's
}

// A window that holds no point of the primary, or that ends before it starts, invested
// nothing: simulate gives no output, gain or status (not a total loss), and optimise refuses
// in one line without writing.
TEST_F(CliTest, AWindowWithoutPointsGivesNoResult) {
    folder.File("quotes.csv", kRaw);
    ASSERT_EQ(Cli("import {}/quotes.csv -o {}/p.xml").status, 0);
    const std::string project = FileText(folder.PathOf("p.xml"));
    const std::string limits = "<LIMITS START=\"1.2.2003\" END=\"1.9.2003\" />";
    ASSERT_NE(project.find(limits), std::string::npos);
    for (const std::string& window :
         {std::string("<LIMITS START=\"6.1.2010\" END=\"6.30.2010\" />"),
          std::string("<LIMITS START=\"1.9.2003\" END=\"1.2.2003\" />")}) {
        SCOPED_TRACE(window);
        folder.File("w.xml",
                    std::string(project).replace(project.find(limits), limits.size(), window));
        const CliRun sim = Cli("simulate {}/w.xml");
        ASSERT_EQ(sim.status, 0) << sim.err;
        const nlohmann::json json = sim.Json();
        for (const char* key : {"output", "gain", "gain_per_year", "status"}) {
            EXPECT_TRUE(json[key].is_null()) << key << ": " << json[key];
        }
        const nlohmann::json& figures = json["figures"];
        EXPECT_TRUE(figures.is_null() || figures["gain"].is_null()) << figures;
        ExpectRefused(Cli("optimise {}/w.xml -o {}/o.xml"), "optimise", "no point of 'QUOTES'");
        EXPECT_FALSE(fs::exists(folder.PathOf("o.xml")));
    }
    // With a point, the status is the state at the window's end.
    const nlohmann::json status = Cli("simulate {}/p.xml").Json()["status"];
    EXPECT_EQ(status["date"], "1/9/2003");
    EXPECT_EQ(status["value"], 1000.0);
}

// A range whose landscape would be too large is refused before its sweep, also without a
// time limit; a window after the data, told by the file after its data sets, scales the view
// as one told before them; non-finite values are reported with their lines.
TEST_F(CliTest, RefusalsComeBeforeTheWorkAndTheReadReportCountsBadValues) {
    std::string sample = FileText(kSample);
    const size_t mu = sample.find("MU=\"40\"");
    ASSERT_NE(mu, std::string::npos);
    folder.File("wide.xml", std::string(sample).replace(mu, 7, "MU=\"9000000\""));
    const std::string args =
        "optimise {}/wide.xml -o {}/o.xml --max-seconds 0 --landscape-csv {}/l.csv";
    ExpectRefused(Cli(args, 10), args, "no landscape: the range has");
    EXPECT_FALSE(fs::exists(folder.PathOf("o.xml")) || fs::exists(folder.PathOf("l.csv")));

    folder.File("quotes.csv", kRaw);
    ASSERT_EQ(Cli("import {}/quotes.csv -o {}/p.xml").status, 0);
    const std::string original = FileText(folder.PathOf("p.xml"));
    std::string project = original;
    const std::string limits = "<LIMITS START=\"1.2.2003\" END=\"1.9.2003\" />\r\n";
    const size_t at = project.find(limits);
    ASSERT_NE(at, std::string::npos);
    project.erase(at, limits.size());
    const size_t end = project.find("</QUILLMARK>");
    folder.File("after.xml", std::string(project).insert(end, limits));
    const nlohmann::json before = Cli("info {}/p.xml").Json();
    const nlohmann::json after = Cli("info {}/after.xml").Json();
    EXPECT_EQ(after["view_axis"], before["view_axis"]);
    EXPECT_EQ(after["window"], before["window"]);
    EXPECT_GT(before["view_axis"]["top"].get<double>(), 100.0);

    const size_t value = original.find("VALUE=\"101.00000\"");
    const size_t input = original.find("IN=\"1000\"");
    ASSERT_NE(value, std::string::npos);
    ASSERT_NE(input, std::string::npos);
    folder.File("nan.xml", std::string(original)
                               .replace(value, 17, "VALUE=\"nan\"")
                               .replace(input, 9, "IN=\"1e400\""));
    const CliRun info = Cli("info {}/nan.xml");
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(info.Json()["read"]["bad_values"], 1);
    EXPECT_EQ(info.Json()["read"]["bad_value_lines"], nlohmann::json::array({10}));
    EXPECT_NE(info.err.find("1 line whose value is not a finite number (line 10) was not read."),
              std::string::npos)
        << info.err;
    EXPECT_EQ(info.Json()["read"]["bad_number_lines"], nlohmann::json::array({8}));
    EXPECT_NE(info.err.find("1 line with a number that is not finite (line 8) was not read in "
                            "full."),
              std::string::npos)
        << info.err;
}

// A FIFO would block the reader until someone writes to it, /dev/zero never ends: they are
// refused before anything reads them.
TEST_F(CliTest, InputsThatAreNotRegularFilesAreRefusedAtOnce) {
    folder.File("quotes.csv", kRaw);
    ASSERT_EQ(Cli("import {}/quotes.csv -o {}/p.xml").status, 0);
    ASSERT_EQ(mkfifo(folder.PathOf("pipe").c_str(), 0644), 0);
    for (const char* args :
         {"info {}/pipe", "render {}/pipe -o {}/x.png", "import {}/pipe -o {}/o.xml",
          "import {}/quotes.csv --into {}/pipe -o {}/o.xml", "resave {}/pipe {}/o.xml",
          "simulate /dev/zero", "import /dev/zero -o {}/o.xml", "optimise {} -o {}/o.xml"}) {
        ExpectRefused(Cli(args, 5), args, "not a regular file");
    }
    EXPECT_FALSE(fs::exists(folder.PathOf("o.xml")));
    EXPECT_FALSE(fs::exists(folder.PathOf("x.png")));
}

struct SeriesRow {
    long long serial = 0;
    double raw = 0.0, net = 0.0;
    int flag = 0;
};

// The figures of simulate, recomputed from the series it wrote inside the window: trades are
// runs of flag 1. A result set past the last is the last.
TEST_F(CliTest, SimulateFiguresAgreeWithTheSeries) {
    ASSERT_EQ(Cli("optimise " + kQuoted + " -o {}/opt.xml").status, 0);
    const nlohmann::json info = Cli("info {}/opt.xml").Json();
    const int64_t first = info["window"]["start"]["serial"];
    const int64_t last = info["window"]["end"]["serial"];
    const double input = info["datasets"][0]["params"]["IN"];
    const CliRun run = Cli("simulate {}/opt.xml --result 99 --series {}/s.csv");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.Json()["result_set"], 10);
    const nlohmann::json f = run.Json()["figures"];
    std::istringstream csv(FileText(folder.PathOf("s.csv")));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "date,serial,raw,diff,signal,signal_base,smooth,gross,net,flag");
    std::vector<SeriesRow> rows;
    for (SeriesRow r; std::getline(csv, line);) {
        ASSERT_EQ(std::sscanf(line.c_str(), "%*[^,],%lld,%lf,%*f,%*f,%*f,%*f,%*f,%lf,%d", &r.serial,
                              &r.raw, &r.net, &r.flag),
                  4)
            << line;
        if (r.serial >= first && r.serial <= last) {
            rows.push_back(r);
        }
    }
    ASSERT_FALSE(rows.empty());

    const double days = static_cast<double>(last - first + 1);
    EXPECT_EQ(f["gain"], (rows.back().net - input) * 100 / input);
    EXPECT_EQ(f["gain"], run.Json()["gain"]);
    EXPECT_DOUBLE_EQ(f["gain_per_year"].get<double>(), f["gain"].get<double>() * 365.25 / days);
    EXPECT_DOUBLE_EQ(f["gain_per_year_compounded"],
                     (std::pow(rows.back().net / input, 365.25 / days) - 1) * 100);
    EXPECT_DOUBLE_EQ(f["buy_and_hold"], (rows.back().raw / rows.front().raw - 1) * 100);

    double high = input, drawdown = 0;
    int64_t trades = 0, inside = 0, trough = -1;
    for (size_t i = 0; i < rows.size(); ++i) {
        high = std::max(high, rows[i].net);
        if (1 - rows[i].net / high > drawdown) {
            drawdown = 1 - rows[i].net / high;
            trough = rows[i].serial;
        }
        trades += rows[i].flag == 1 && (i == 0 || rows[i - 1].flag == 0) ? 1 : 0;
        inside += rows[i].flag;
    }
    EXPECT_GT(trades, 1);
    EXPECT_EQ(f["trades"], trades);
    EXPECT_DOUBLE_EQ(f["in_market"], 100.0 * inside / rows.size());
    EXPECT_NEAR(f["max_drawdown"].get<double>(), drawdown * 100, 1e-9);
    EXPECT_EQ(f["drawdown_trough"]["serial"], trough);
    EXPECT_TRUE(f["ruined"].is_null());

    // Trades in money from the Net before the entry to the Net after the exit; daily returns of
    // the Net line from the input on.
    std::vector<double> results, returns;
    double before = input, atEntry = input;
    for (size_t i = 0; i < rows.size(); ++i) {
        const int previous = i == 0 ? 0 : rows[i - 1].flag;
        if (rows[i].flag == 1 && previous == 0) {
            atEntry = before;
        } else if (rows[i].flag == 0 && previous == 1) {
            results.push_back(rows[i].net - atEntry);
        }
        returns.push_back(rows[i].net / before - 1);
        before = rows[i].net;
    }
    if (rows.back().flag == 1) {
        results.push_back(rows.back().net - atEntry);
    }
    EXPECT_EQ(f["open_at_end"], rows.back().flag == 1);
    double won = 0, lost = 0, wins = 0;
    for (double r : results) {
        (r > 0 ? won : lost) += r;
        wins += r > 0 ? 1 : 0;
    }
    EXPECT_DOUBLE_EQ(f["win_rate"], 100 * wins / results.size());
    EXPECT_NEAR(f["profit_factor"].get<double>(), won / -lost, 1e-9);
    EXPECT_NEAR(f["average_trade_money"].get<double>(), (won + lost) / results.size(), 1e-9);
    double mean = 0, squares = 0, down = 0;
    for (double r : returns) {
        mean += r / returns.size();
    }
    for (double r : returns) {
        squares += (r - mean) * (r - mean);
        down += r < 0 ? r * r : 0;
    }
    const double sd = std::sqrt(squares / (returns.size() - 1));
    const double root = std::sqrt(rows.size() * 365.25 / days);
    EXPECT_NEAR(f["volatility"].get<double>(), sd * root * 100, 1e-9);
    EXPECT_NEAR(f["sharpe"].get<double>(), mean / sd * root, 1e-9);
    EXPECT_NEAR(f["sortino"].get<double>(), mean / std::sqrt(down / returns.size()) * root, 1e-9);
    EXPECT_NEAR(f["calmar"].get<double>(),
                f["gain_per_year_compounded"].get<double>() / (drawdown * 100), 1e-9);
}

// The sample's own range runs within the default time limit. The landscape's files agree with
// the result sets bit for bit; --rank robust searches every cell that trades, so its first set
// stands on a plateau at least as high as any set chosen by gain, and stores them in order.
TEST_F(CliTest, OptimiseWritesTheLandscapeAndRanksByPlateau) {
    const CliRun byGain = Cli("optimise " + kQuoted +
                              " -o {}/gain.xml --landscape {}/l.png --landscape-csv {}/l.csv");
    ASSERT_EQ(byGain.status, 0) << byGain.err;
    const nlohmann::json gain = byGain.Json();
    EXPECT_EQ(gain["steps"], 9030);
    ASSERT_EQ(gain["result_sets"].size(), 10u);
    EXPECT_TRUE(fs::exists(folder.PathOf("l.png")));
    std::istringstream csv(FileText(folder.PathOf("l.csv")));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "ML,RC,BL,gain,trades");
    std::map<std::tuple<int, double, int>, double> cells;
    for (int ml, bl, trades; std::getline(csv, line);) {
        double rc, cellGain;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d,%lf,%d,%lf,%d", &ml, &rc, &bl, &cellGain, &trades),
                  5)
            << line;
        cells[{ml, rc, bl}] = cellGain;
    }
    EXPECT_EQ(cells.size(), 21u * 41 * 10);  // ML 20 to 40, ratios -1 to 1 by 0.05, levels 0 to 90
    for (const auto& r : gain["result_sets"]) {
        const auto at = cells.find({r["ML"].get<int>(), r["RC"][0].get<double>(), r["BL"]});
        ASSERT_NE(at, cells.end()) << r;
        EXPECT_EQ(at->second, r["GN"].get<double>());
        EXPECT_EQ(r["landscape"], r["GN"]);
    }

    const CliRun byPlateau = Cli("optimise " + kQuoted + " -o {}/robust.xml --rank robust");
    ASSERT_EQ(byPlateau.status, 0) << byPlateau.err;
    const nlohmann::json robust = byPlateau.Json()["result_sets"];
    const nlohmann::json stored = Cli("info {}/robust.xml").Json()["datasets"][0]["results"];
    auto key = [](const nlohmann::json& r) {
        const nlohmann::json& rc = r["RC"].is_array() ? r["RC"][0] : r["RC"];
        return r["ML"].dump() + "/" + r["BL"].dump() + "/" + rc.dump();
    };
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(key(stored[i]), key(robust[i]));
        EXPECT_GE(robust[0]["plateau_min"].get<double>(),
                  gain["result_sets"][i]["plateau_min"].get<double>());
        EXPECT_NE(robust[i]["RC"][0], 0.0);  // a set that never trades is never chosen
        if (i > 0) {
            EXPECT_GE(robust[i - 1]["plateau_min"].get<double>(),
                      robust[i]["plateau_min"].get<double>());
        }
    }

    ExpectRefused(Cli("optimise " + kQuoted + " -o {}/x.xml --landscape " + kQuoted), "landscape",
                  "same file");
}

// The steps tile the window with full test windows; the stitched gain chains the test gains;
// the CSV holds the stitched line and the chart is drawn beside a JSON that stays the same.
// A window too short for one step, or no data set, is refused without writing.
TEST_F(CliTest, WalkForwardReportsStepsAndStitchedFigures) {
    const std::string walk = "walkforward " + kQuoted + " --train 5y --test 1y --threads 1";
    const CliRun plain = Cli(walk);
    ASSERT_EQ(plain.status, 0) << plain.err;
    const nlohmann::json json = plain.Json();
    ASSERT_GE(json["steps"].size(), 2u);
    double chain = 1.0;
    for (const auto& step : json["steps"]) {
        EXPECT_EQ(step["test"]["start"]["serial"].get<int>(),
                  step["train"]["end"]["serial"].get<int>() + 1);
        EXPECT_EQ(step["RC"].size(), 1u);
        chain *= 1.0 + step["out_of_sample_gain"].get<double>() / 100.0;
    }
    EXPECT_NEAR(json["figures"]["gain"].get<double>(), (chain - 1.0) * 100.0, 1e-9);
    EXPECT_EQ(json["account"], "continuous");
    EXPECT_TRUE(json["figures"].contains("sharpe") && json["figures"].contains("drawdown_peak"));

    // The causal check re-runs on cut data and finds nothing; a flat start is another account.
    const std::string shortWalk = "walkforward " + kQuoted + " --train 10y --test 5y --threads 1";
    const CliRun checked = Cli(shortWalk + " --check-causal");
    ASSERT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.Json()["causal_check"], "passed");
    const CliRun flat = Cli(shortWalk + " --flat-start");
    ASSERT_EQ(flat.status, 0) << flat.err;
    EXPECT_EQ(flat.Json()["account"], "flat_start");
    for (const char* same : {"ML", "BL", "RC", "in_sample_gain"}) {
        EXPECT_EQ(flat.Json()["steps"][0][same], checked.Json()["steps"][0][same]) << same;
    }

    const CliRun drawn =
        Cli(walk + " --csv {}/line.csv --chart {}/c.png --chart-width 640 --chart-height 300");
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    EXPECT_EQ(drawn.out, plain.out);
    const std::string csv = FileText(folder.PathOf("line.csv"));
    EXPECT_EQ(csv.rfind("date,serial,net,buy_and_hold\n", 0), 0u);
    EXPECT_GT(Lines(csv), 200);
    // PNG, then IHDR's big-endian width and height
    const std::string png = FileText(folder.PathOf("c.png"));
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(png.substr(16, 8), std::string("\0\0\x02\x80\0\0\x01\x2c", 8));

    folder.File("empty.xml", ProjectText(CProject()));
    for (const std::string& args :
         {"walkforward " + kQuoted + " --train 60y --test 1y --csv {}/o.csv",
          std::string("walkforward {}/empty.xml --train 1y --test 1y --csv {}/o.csv")}) {
        ExpectRefused(Cli(args), args, "quillmark-cli: error: ");
    }
    EXPECT_FALSE(fs::exists(folder.PathOf("o.csv")));
}

}  // namespace

// --version answers without a subcommand; samples finds the build tree's samples, and those of
// an installation laid out around a copy of the program (bin/, share/quillmark/).
TEST_F(CliTest, VersionAndSamplesWhereverTheProgramIs) {
    const CliRun version = Cli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("quillmark-cli ", 0), 0u) << version.out;
    EXPECT_EQ(Lines(version.out), 1);

    CliRun samples = Cli("samples");
    ASSERT_EQ(samples.status, 0) << samples.err;
    nlohmann::json found = samples.Json();
    EXPECT_FALSE(found["installed"]);
    EXPECT_EQ(fs::canonical(found["sample"].get<std::string>()), fs::canonical(kSample));

    const fs::path installed = fs::path(folder.Path()) / "share/quillmark/Project Files";
    fs::create_directories(installed);
    fs::create_directories(fs::path(folder.Path()) / "bin");
    fs::copy_file(kSample, installed / "SP500.xml");
    fs::copy_file(QUILLMARK_CLI, fs::path(folder.Path()) / "bin/quillmark-cli");
    const std::string moved = "env DISPLAY= '" + folder.PathOf("bin/quillmark-cli") + "' samples";
    FILE* pipe = popen(moved.c_str(), "r");
    std::string out;
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, got);
    }
    EXPECT_EQ(pclose(pipe), 0);
    found = nlohmann::json::parse(out, nullptr, false);
    EXPECT_TRUE(found["installed"]) << out;
    EXPECT_EQ(found["sample"], (installed / "SP500.xml").string());
    EXPECT_EQ(found["files"], nlohmann::json::array({(installed / "SP500.xml").string()}));
}
