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

const char* kRaw =
    "Date,Close\n01/02/2003,100\n01/03/2003,101\n01/06/2003,103\n"
    "01/07/2003,102\n01/08/2003,105\n01/09/2003,104\n";

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
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
        EXPECT_TRUE(run.out.empty()) << args;
    }

    TempFolder folder;
};

TEST_F(CliTest, UsageErrorsExitWithTwoAndUnreadableFilesWithOneErrorLine) {
    for (const char* args : {"", "frobnicate x", "info", "info a.xml --bogus", "import raw.csv",
                             "render x.xml", "render x.xml -o x.png --width 0"}) {
        EXPECT_EQ(Cli(args).status, 2) << args;
    }
    EXPECT_NE(Cli("info a.xml --bogus").err.find("Usage"), std::string::npos);
    EXPECT_EQ(Cli("--help").status, 0);

    for (const char* args : {"info {}/missing.xml", "info {}", "import {}/none.csv -o {}/o.xml",
                             "render {}/none.xml -o {}/x.png"}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_EQ(run.err.rfind("quillmark-cli: error: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(run.out.empty()) << args;
    }
    EXPECT_FALSE(fs::exists(folder.PathOf("o.xml")));
    EXPECT_FALSE(fs::exists(folder.PathOf("x.png")));
}

// A file that gives no point is refused with its counts, and nothing is written.
TEST_F(CliTest, ImportWithoutAPointExitsWithOne) {
    folder.File("missing.csv", "DATE,VALUE\n2003-01-02,.\n2003-01-03,.\n");
    const CliRun run = Cli("import {}/missing.csv -o {}/o.xml");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err,
              "quillmark-cli: error: 'missing.csv' gave no point: 3 lines read; 1 line without a "
              "date (line 1); 2 values not a number (lines 2, 3)\n");
    EXPECT_TRUE(run.out.empty());
    EXPECT_FALSE(fs::exists(folder.PathOf("o.xml")));
}

TEST_F(CliTest, ImportThenInfoSimulateAndResave) {
    folder.File("quotes.csv", kRaw);
    const CliRun imported = Cli("import {}/quotes.csv -o {}/p.xml");
    ASSERT_EQ(imported.status, 0) << imported.err;
    const nlohmann::json summary = imported.Json();
    EXPECT_EQ(summary["name"], "QUOTES");
    EXPECT_EQ(summary["points"], 6);
    EXPECT_EQ(summary["date_order"], "month-first");
    EXPECT_EQ(summary["last"]["date"], "1/9/2003");
    EXPECT_EQ(summary["lines"], 7);
    EXPECT_EQ(summary["skipped"], 1);
    EXPECT_EQ(summary["no_date"], (nlohmann::json{{"count", 1}, {"lines", {1}}}));
    EXPECT_EQ(summary["bad_value"]["count"], 0);
    EXPECT_EQ(summary["separator"], "commas and blanks");
    EXPECT_EQ(summary["decimal_mark"], ".");
    EXPECT_EQ(summary["date_order_guessed"], false);

    const nlohmann::json info = Cli("info {}/p.xml").Json();
    EXPECT_EQ(info["window"]["start"]["date"], "1/2/2003");
    EXPECT_EQ(info["window"]["days"], 8);
    EXPECT_EQ(info["datasets"][0]["points"], 6);
    EXPECT_TRUE(info["datasets"][0]["gains"]["raw_rises"].is_number());

    const CliRun sim = Cli("simulate {}/p.xml --series {}/series.csv");
    ASSERT_EQ(sim.status, 0) << sim.err;
    EXPECT_EQ(sim.Json()["output"], 1000.0);  // the default ratio 0 never enters the market
    EXPECT_EQ(sim.Json()["trades"], 0);
    EXPECT_EQ(sim.Json()["status"]["date"], "1/9/2003");
    EXPECT_EQ(sim.Json()["status"]["name"], "QUOTES");
    const std::string series = FileText(folder.PathOf("series.csv"));
    EXPECT_EQ(series.rfind("date,serial,raw,diff,signal,signal_base,smooth,gross,net,flag\n", 0),
              0u);
    EXPECT_EQ(std::count(series.begin(), series.end(), '\n'), 7);

    // Resaving gives back the same bytes; a target that cannot be written leaves what was
    // there and no temporary file.
    ASSERT_EQ(Cli("resave {}/p.xml {}/second.xml").status, 0);
    EXPECT_EQ(FileText(folder.PathOf("p.xml")), FileText(folder.PathOf("second.xml")));
    fs::create_directory(folder.PathOf("folder"));
    EXPECT_EQ(Cli("resave {}/p.xml {}/folder").status, 1);
    EXPECT_TRUE(fs::is_directory(folder.PathOf("folder")));
    EXPECT_EQ(Cli("resave {}/p.xml {}/no/x.xml").status, 1);
    // quotes.csv, p.xml, series.csv, second.xml, folder, stderr.txt
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 6);
}

TEST_F(CliTest, SimulateAppliesAClampedResultSet) {
    folder.File("r.xml",
                "<LIMITS START=\"1.2.2003\" END=\"1.9.2003\" />\r\n"
                "<DATASET NAME=\"A\">\r\n"
                "<PARAMETERS  ML=\"20\" RC=\"0\" BL=\"60\" IN=\"1000\" TT=\"5\" />\r\n"
                "<RESULT ML=\"1\" RC=\"1\" BC=\"0\" GN=\"3\" />\r\n"
                "<DATAPOINT  DATE=\"1.2.2003\" VALUE=\"100\" />\r\n"
                "<DATAPOINT  DATE=\"1.3.2003\" VALUE=\"101\" />\r\n"
                "<DATAPOINT  DATE=\"1.6.2003\" VALUE=\"103\" />\r\n"
                "<DATAPOINT  DATE=\"1.7.2003\" VALUE=\"102\" />\r\n"
                "</DATASET>\r\n");
    const CliRun sim = Cli("simulate {}/r.xml --result 9");
    ASSERT_EQ(sim.status, 0) << sim.err;
    const nlohmann::json s = sim.Json();
    EXPECT_EQ(s["result_set"], 1);
    EXPECT_EQ(s["trades"], 1);
    EXPECT_NE(s["gain"], 0.0);
    EXPECT_DOUBLE_EQ(s["gain_per_year"].get<double>(), s["gain"].get<double>() * 365.25 / 8);
}

TEST_F(CliTest, ImportIntoAnExistingProjectAddsADataSet) {
    folder.File("a.csv", kRaw);
    folder.File("b.txt", "Date,Open,Close\n2003-01-02,5,6\n2003-01-03,7,8\n");
    ASSERT_EQ(Cli("import {}/a.csv -o {}/p.xml").status, 0);
    const CliRun second = Cli("import {}/b.txt --values-col 3 --into {}/p.xml -o {}/p.xml");
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.Json()["name"], "B");
    const nlohmann::json info = Cli("info {}/p.xml").Json();
    ASSERT_EQ(info["datasets"].size(), 2u);
    EXPECT_EQ(info["datasets"][1]["points"], 2);
    EXPECT_EQ(info["window"]["days"], 8);  // the window stays the first import's
}

// The sample reads and resaves unchanged, and renders without a display.
TEST_F(CliTest, TheShippedSample) {
    const nlohmann::json info = Cli("info '" + kSample + "'").Json();
    EXPECT_EQ(info["datasets"][0]["points"], 5105);
    EXPECT_EQ(info["datasets"][0]["first"]["date"], "1/3/2000");
    ASSERT_EQ(Cli("resave '" + kSample + "' {}/copy.xml").status, 0);
    EXPECT_EQ(FileText(kSample), FileText(folder.PathOf("copy.xml")));

    const CliRun render = Cli("render '" + kSample + "' --cursor 0.5 -o {}/sp500.png");
    ASSERT_EQ(render.status, 0) << render.err;
    EXPECT_EQ(render.Json()["width"], 1000);
    EXPECT_EQ(render.Json()["cursor"], 0.5);
    EXPECT_EQ(FileText(folder.PathOf("sp500.png")).substr(1, 3), "PNG");
}

// A run estimated to take longer than --max-seconds is refused after a few milliseconds of
// measuring, before anything is written; the sample's own range runs within the default.
TEST_F(CliTest, OptimiseRefusesARunLongerThanMaxSeconds) {
    std::string sample = FileText(kSample);
    const size_t mu = sample.find("MU=\"40\"");
    ASSERT_NE(mu, std::string::npos);
    for (const auto& [high, limit] :
         {std::pair{"2000000", " --max-seconds 1"}, std::pair{"2147483647", ""}}) {
        folder.File("long.xml",
                    std::string(sample).replace(mu, 7, "MU=\"" + std::string(high) + "\""));
        const std::string args = "optimise {}/long.xml -o {}/out.xml" + std::string(limit);
        const CliRun run = Cli(args, 10);
        ExpectRefused(run, args, "steps and would take about");
        EXPECT_NE(run.err.find(limit[0] != 0 ? "--max-seconds 1." : "--max-seconds 600."),
                  std::string::npos)
            << run.err;
    }
    EXPECT_FALSE(fs::exists(folder.PathOf("out.xml")));

    const CliRun run = Cli("optimise '" + kSample + "' -o {}/out.xml --max-seconds 600");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.Json()["steps"], 9030);
    EXPECT_EQ(run.Json()["results"], 10);
}

// A picture or a CSV written over the project, or a project over the raw data, would destroy
// an input; the same kind of file written atomically over itself is an ordinary save.
TEST_F(CliTest, AnOutputThatIsOneOfTheInputsIsRefused) {
    const std::string raw = folder.File("quotes.csv", kRaw);
    ASSERT_EQ(Cli("import {}/quotes.csv -o {}/p.xml").status, 0);
    const std::string project = FileText(folder.PathOf("p.xml"));
    ASSERT_EQ(symlink("p.xml", folder.PathOf("link.xml").c_str()), 0);
    for (const char* args :
         {"render {}/p.xml -o {}/p.xml", "render {}/link.xml -o {}/p.xml",
          "simulate {}/p.xml --series {}/link.xml", "import {}/quotes.csv -o {}/quotes.csv",
          "import {}/quotes.csv --into {}/p.xml -o {}/quotes.csv"}) {
        ExpectRefused(Cli(args), args, "same file as the input");
    }
    EXPECT_TRUE(FileText(folder.PathOf("p.xml")) == project);
    EXPECT_TRUE(FileText(raw) == kRaw);

    ASSERT_EQ(Cli("resave {}/p.xml {}/link.xml").status, 0);
    ASSERT_EQ(Cli("optimise {}/p.xml -o {}/p.xml --threads 1").status, 0);
    ASSERT_EQ(Cli("import {}/quotes.csv --into {}/p.xml -o {}/p.xml").status, 0);
    EXPECT_EQ(Cli("info {}/p.xml").Json()["datasets"].size(), 2u);

    // A second name of the raw data is the raw data.
    ASSERT_EQ(link(raw.c_str(), folder.PathOf("same.csv").c_str()), 0);
    ExpectRefused(Cli("import {}/same.csv -o {}/quotes.csv"), "hard link", "same file");
    EXPECT_TRUE(FileText(raw) == kRaw);
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

// Files that are not projects are refused; a project with points out of order opens with the
// rest, and info tells which lines it left out (a warning on stderr too).
TEST_F(CliTest, InfoReportsWhatTheReadCouldNotKeep) {
    folder.File("quotes.csv", kRaw);
    ExpectRefused(Cli("info {}/quotes.csv"), "info quotes.csv", "is not a Quillmark project");
    folder.File("gap.xml",
                "<QUILLMARK>\r\n<DATASET NAME=\"A\">\r\n"
                "<DATAPOINT  DATE=\"1.2.2020\" VALUE=\"1\" />\r\n"
                "<DATAPOINT  DATE=\"1.3.2091\" VALUE=\"2\" />\r\n"
                "<DATAPOINT  DATE=\"1.6.2020\" VALUE=\"3\" />\r\n"
                "<DATAPOINT  DATE=\"1.7.2020\" VALUE=\"4\" />\r\n"
                "<DATAPOINT  DATE=\"13.30.2020\" VALUE=\"5\" />\r\n</DATASET>\r\n");
    const CliRun run = Cli("info {}/gap.xml");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json read = run.Json()["read"];
    EXPECT_EQ(read["points"], 3);
    EXPECT_EQ(read["dropped_points"], 1);
    EXPECT_EQ(read["dropped_lines"], nlohmann::json::array({4}));
    EXPECT_EQ(read["bad_dates"], 1);
    EXPECT_EQ(read["bad_date_lines"], nlohmann::json::array({7}));
    EXPECT_NE(run.err.find("warning: " + folder.PathOf("gap.xml") +
                           ": 1 point out of date order (line 4) and 1 line without a valid date "
                           "(line 7) were not read."),
              std::string::npos)
        << run.err;
}

}  // namespace

namespace {

struct SeriesRow {
    int64_t serial = 0;
    double raw = 0.0;
    double net = 0.0;
    int flag = 0;
};

// The rows of a --series file whose serial lies inside [first, last].
std::vector<SeriesRow> RowsInside(const std::string& csv, int64_t first, int64_t last) {
    std::vector<SeriesRow> rows;
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::vector<std::string> cells;
        std::istringstream fields(line);
        for (std::string cell; std::getline(fields, cell, ',');) {
            cells.push_back(cell);
        }
        SeriesRow row{std::stoll(cells[1]), std::stod(cells[2]), std::stod(cells[8]),
                      std::stoi(cells[9])};
        if (row.serial >= first && row.serial <= last) {
            rows.push_back(row);
        }
    }
    return rows;
}

}  // namespace

// Every figure of simulate, recomputed from the series it wrote: trades are runs of flag 1,
// each from the Net before it to the Net where it ends.
TEST_F(CliTest, SimulateFiguresAgreeWithTheSeries) {
    ASSERT_EQ(Cli("optimise '" + kSample + "' -o {}/opt.xml").status, 0);
    const nlohmann::json info = Cli("info {}/opt.xml").Json();
    const int64_t first = info["window"]["start"]["serial"];
    const int64_t last = info["window"]["end"]["serial"];
    const double input = info["datasets"][0]["params"]["IN"];
    for (const char* result : {"1", "7"}) {
        const CliRun run =
            Cli(std::string("simulate {}/opt.xml --result ") + result + " --series {}/s.csv");
        ASSERT_EQ(run.status, 0) << run.err;
        const nlohmann::json f = run.Json()["figures"];
        const auto rows = RowsInside(FileText(folder.PathOf("s.csv")), first, last);
        ASSERT_FALSE(rows.empty());

        const double gain = (rows.back().net - input) * 100 / input;
        const double days = static_cast<double>(last - first + 1);
        EXPECT_EQ(f["gain"], gain);
        EXPECT_EQ(f["gain"], run.Json()["gain"]);
        EXPECT_DOUBLE_EQ(f["gain_per_year_compounded"],
                         (std::pow(rows.back().net / input, 365.25 / days) - 1) * 100);
        EXPECT_DOUBLE_EQ(f["buy_and_hold"], (rows.back().raw / rows.front().raw - 1) * 100);

        double high = input, drawdown = 0, best = -1e300, worst = 1e300, before = input;
        double entry = input;
        int64_t trades = 0, inside = 0, trough = -1;
        for (size_t i = 0; i < rows.size(); ++i) {
            high = std::max(high, rows[i].net);
            if (1 - rows[i].net / high > drawdown) {
                drawdown = 1 - rows[i].net / high;
                trough = rows[i].serial;
            }
            const int previous = i == 0 ? 0 : rows[i - 1].flag;
            if (rows[i].flag == 1 && previous == 0) {
                entry = before;
                ++trades;
            }
            const bool ends = rows[i].flag == 1 && (i + 1 == rows.size() || rows[i + 1].flag == 0);
            const double tradeEnd = i + 1 < rows.size() ? rows[i + 1].net : rows[i].net;
            if (ends) {
                best = std::max(best, tradeEnd / entry - 1);
                worst = std::min(worst, tradeEnd / entry - 1);
            }
            inside += rows[i].flag;
            before = rows[i].net;
        }
        EXPECT_GT(trades, 1) << result;
        EXPECT_EQ(f["trades"], trades);
        EXPECT_EQ(f["trades"], run.Json()["trades"]);
        EXPECT_DOUBLE_EQ(f["in_market"], 100.0 * inside / rows.size());
        EXPECT_NEAR(f["max_drawdown"].get<double>(), drawdown * 100, 1e-9);
        EXPECT_EQ(f["drawdown_trough"]["serial"], trough);
        EXPECT_NEAR(f["best_trade"].get<double>(), best * 100, 1e-9);
        EXPECT_NEAR(f["worst_trade"].get<double>(), worst * 100, 1e-9);
    }
}

// The landscape's files agree with the result sets bit for bit; --rank robust keeps the same
// result sets, ordered by plateau, and stores them in that order.
TEST_F(CliTest, OptimiseWritesTheLandscapeAndRanksByPlateau) {
    const CliRun byGain = Cli("optimise '" + kSample +
                              "' -o {}/gain.xml --landscape {}/l.png --landscape-csv {}/l.csv");
    ASSERT_EQ(byGain.status, 0) << byGain.err;
    EXPECT_EQ(FileText(folder.PathOf("l.png")).substr(1, 3), "PNG");
    std::map<std::pair<int, int>, std::string> cells;
    std::istringstream csv(FileText(folder.PathOf("l.csv")));
    std::string line;
    std::getline(csv, line);
    EXPECT_EQ(line, "ML,BL,gain");
    while (std::getline(csv, line)) {
        int ml = 0, bl = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d,%d,", &ml, &bl), 2) << line;
        cells[{ml, bl}] = line.substr(line.rfind(',') + 1);
    }
    EXPECT_EQ(cells.size(), 21u * 10u);  // ML 20 to 40, levels 0 to 90
    const nlohmann::json gain = byGain.Json();
    ASSERT_EQ(gain["result_sets"].size(), 10u);
    for (const auto& r : gain["result_sets"]) {
        EXPECT_EQ(std::stod(cells.at({r["ML"], r["BL"]})), r["GN"].get<double>());
        EXPECT_EQ(r["landscape"], r["GN"]);
        EXPECT_LE(r["plateau_min"].get<double>(), r["plateau_mean"].get<double>());
    }

    const CliRun byPlateau = Cli("optimise '" + kSample + "' -o {}/robust.xml --rank robust");
    ASSERT_EQ(byPlateau.status, 0) << byPlateau.err;
    const nlohmann::json robust = byPlateau.Json();
    EXPECT_EQ(robust["rank"], "robust");
    auto key = [](const nlohmann::json& r) { return r["ML"].dump() + "/" + r["BL"].dump(); };
    std::vector<std::string> before, after;
    for (size_t i = 0; i < 10; ++i) {
        before.push_back(key(gain["result_sets"][i]));
        after.push_back(key(robust["result_sets"][i]));
        if (i > 0) {
            EXPECT_GE(robust["result_sets"][i - 1]["plateau_min"].get<double>(),
                      robust["result_sets"][i]["plateau_min"].get<double>());
        }
    }
    EXPECT_TRUE(std::is_permutation(before.begin(), before.end(), after.begin()));
    const nlohmann::json stored = Cli("info {}/robust.xml").Json()["datasets"][0]["results"];
    for (size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(key(stored[i]), after[i]);
    }

    ExpectRefused(Cli("optimise '" + kSample + "' -o {}/x.xml --landscape '" + kSample + "'"),
                  "landscape", "same file");
    EXPECT_EQ(Cli("optimise '" + kSample + "' -o {}/x.xml --rank best").status, 2);
}

namespace {

// The steps tile the window with full test windows; the stitched gain chains the test gains;
// the CSV holds the stitched line.
TEST_F(CliTest, WalkForwardReportsStepsAndStitchedFigures) {
    const CliRun run = Cli("walkforward '" + kSample + "' --train 5y --test 1y --threads 1 --csv " +
                           "{}/line.csv");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json json = run.Json();
    const nlohmann::json& steps = json["steps"];
    ASSERT_GE(steps.size(), 2u);
    double chain = 1.0;
    for (const auto& step : steps) {
        EXPECT_EQ(step["test"]["start"]["serial"].get<int>(),
                  step["train"]["end"]["serial"].get<int>() + 1);
        EXPECT_EQ(step["RC"].size(), 1u);
        chain *= 1.0 + step["out_of_sample_gain"].get<double>() / 100.0;
    }
    EXPECT_NEAR(json["figures"]["gain"].get<double>(), (chain - 1.0) * 100.0, 1e-9);
    const std::string csv = FileText(folder.PathOf("line.csv"));
    EXPECT_EQ(csv.rfind("date,serial,net,buy_and_hold\n", 0), 0u);
    EXPECT_GT(std::count(csv.begin(), csv.end(), '\n'), 200);
}

// Width and height of a PNG from its header (IHDR, big-endian, at bytes 16 and 20).
std::pair<int, int> PngSize(const std::string& png) {
    auto at = [&png](size_t offset) {
        int value = 0;
        for (size_t i = 0; i < 4; ++i) {
            value = value * 256 + static_cast<unsigned char>(png.at(offset + i));
        }
        return value;
    };
    return {at(16), at(20)};
}

// The chart is written beside the JSON, which stays what it is without it.
TEST_F(CliTest, WalkForwardDrawsTheStitchedLineWithoutChangingTheJson) {
    const std::string run = "walkforward '" + kSample + "' --train 5y --test 1y --threads 1";
    const CliRun plain = Cli(run);
    const CliRun drawn = Cli(run + " --chart {}/default.png");
    const CliRun sized = Cli(run + " --chart {}/sized.png --chart-width 640 --chart-height 300");
    ASSERT_EQ(plain.status, 0) << plain.err;
    ASSERT_EQ(drawn.status, 0) << drawn.err;
    ASSERT_EQ(sized.status, 0) << sized.err;
    EXPECT_EQ(drawn.out, plain.out);
    EXPECT_EQ(sized.out, plain.out);
    const std::string defaultPng = FileText(folder.PathOf("default.png"));
    ASSERT_GT(defaultPng.size(), 24u);
    EXPECT_EQ(defaultPng.substr(1, 3), "PNG");
    EXPECT_EQ(PngSize(defaultPng), std::make_pair(1000, 500));
    EXPECT_EQ(PngSize(FileText(folder.PathOf("sized.png"))), std::make_pair(640, 300));
    EXPECT_EQ(Cli(run + " --chart {}/x.png --chart-width 0").status, 2);
    EXPECT_FALSE(fs::exists(folder.PathOf("x.png")));
}

TEST_F(CliTest, WalkForwardRefusesBadLengthsAndProjectsWithoutWriting) {
    const std::string sample = "'" + kSample + "'";
    for (const std::string length : {"0y", "-1y", "5", "5w", "y", "1.5y"}) {
        const std::string args =
            "walkforward " + sample + " --train " + length + " --test 1y --csv {}/o.csv";
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 2) << args;
        EXPECT_TRUE(run.out.empty()) << args;
    }
    CProject empty;
    folder.File("empty.xml", ProjectText(empty));
    folder.File("p.xml", FileText(kSample));
    for (const char* args : {"walkforward {}/p.xml --train 60y --test 1y --csv {}/o.csv",
                             "walkforward {}/empty.xml --train 1y --test 1y --csv {}/o.csv",
                             "walkforward {}/missing.xml --train 1y --test 1y --csv {}/o.csv"}) {
        const CliRun run = Cli(args);
        EXPECT_EQ(run.status, 1) << args;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(run.out.empty()) << args;
    }
    ExpectRefused(Cli("walkforward {}/p.xml --train 5y --test 1y --csv {}/p.xml"), "csv",
                  "same file as the input");
    ExpectRefused(Cli("walkforward {}/p.xml --train 5y --test 1y --chart {}/p.xml"), "chart",
                  "same file as the input");
    EXPECT_EQ(FileText(folder.PathOf("p.xml")), FileText(kSample));
    EXPECT_FALSE(fs::exists(folder.PathOf("o.csv")));
}

}  // namespace
