// quillmark-cli as scripts use it: the real program, run on temporary files.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "support/test_files.h"

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
    nlohmann::json Json() const { return nlohmann::json::parse(out, nullptr, false); }
};

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_FALSE(folder.Path().empty()); }

    CliRun Cli(const std::string& args) {
        fs::path err = dir / "stderr.txt";
        std::string command = std::string(QUILLMARK_CLI) + " " + args + " 2>'" + err.string() + "'";
        CliRun run;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            run.out.append(buffer, got);
        }
        int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = ReadFile(err);
        return run;
    }

    fs::path Write(const std::string& name, const std::string& text) {
        fs::path path = dir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    static std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

    TempFolder folder;
    fs::path dir = folder.Path();
};

const char* kRaw =
    "Date,Close\n"
    "01/02/2003,100\n"
    "01/03/2003,101\n"
    "01/06/2003,103\n"
    "01/07/2003,102\n"
    "01/08/2003,105\n"
    "01/09/2003,104\n";

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Cli("").status, 2);
    EXPECT_EQ(Cli("frobnicate x").status, 2);
    EXPECT_EQ(Cli("info").status, 2);
    CliRun unknown = Cli("info a.xml --bogus");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("Usage"), std::string::npos);
    EXPECT_EQ(Cli("import raw.csv").status, 2);  // -o is required
    EXPECT_EQ(Cli("--help").status, 0);
}

TEST_F(CliTest, UnreadableFilesExitWithOneAndOneErrorLine) {
    for (const std::string& target : {(dir / "missing.xml").string(), dir.string()}) {
        CliRun run = Cli("info '" + target + "'");
        EXPECT_EQ(run.status, 1) << target;
        EXPECT_EQ(run.err.rfind("quillmark-cli: error: ", 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
        EXPECT_TRUE(run.out.empty());
    }
    EXPECT_EQ(Cli("import " + Quote(dir / "none.csv") + " -o " + Quote(dir / "o.xml")).status, 1);
    EXPECT_FALSE(fs::exists(dir / "o.xml"));
}

TEST_F(CliTest, ImportThenInfoAndSimulate) {
    fs::path raw = Write("quotes.csv", kRaw);
    fs::path project = dir / "p.xml";
    CliRun imported = Cli("import " + Quote(raw) + " -o " + Quote(project));
    ASSERT_EQ(imported.status, 0) << imported.err;
    nlohmann::json summary = imported.Json();
    EXPECT_EQ(summary["name"], "QUOTES");
    EXPECT_EQ(summary["points"], 6);
    EXPECT_EQ(summary["skipped"], 0);
    EXPECT_EQ(summary["date_order"], "month-first");
    EXPECT_EQ(summary["first"]["date"], "1/2/2003");
    EXPECT_EQ(summary["last"]["date"], "1/9/2003");

    CliRun info = Cli("info " + Quote(project));
    ASSERT_EQ(info.status, 0) << info.err;
    nlohmann::json j = info.Json();
    EXPECT_EQ(j["window"]["start"]["date"], "1/2/2003");
    EXPECT_EQ(j["window"]["days"], 8);
    EXPECT_EQ(j["range"]["ML"], 20);
    EXPECT_EQ(j["current"], 0);
    ASSERT_EQ(j["datasets"].size(), 1u);
    EXPECT_EQ(j["datasets"][0]["points"], 6);
    EXPECT_TRUE(j["datasets"][0]["gains"]["raw_rises"].is_number());

    fs::path csv = dir / "series.csv";
    CliRun sim = Cli("simulate " + Quote(project) + " --series " + Quote(csv));
    ASSERT_EQ(sim.status, 0) << sim.err;
    nlohmann::json s = sim.Json();
    EXPECT_TRUE(s["result_set"].is_null());
    EXPECT_EQ(s["output"], 1000.0);  // the default ratio 0 never enters the market
    EXPECT_EQ(s["trades"], 0);
    EXPECT_EQ(s["status"]["date"], "1/9/2003");
    EXPECT_EQ(s["status"]["name"], "QUOTES");
    std::string series = ReadFile(csv);
    EXPECT_EQ(series.rfind("date,serial,raw,diff,signal,signal_base,smooth,gross,net,flag\n", 0),
              0u);
    EXPECT_EQ(std::count(series.begin(), series.end(), '\n'), 7);
}

TEST_F(CliTest, SimulateAppliesAClampedResultSet) {
    fs::path project = Write("r.xml",
                             "<?xml version=\"1.0\"?>\r\n<QUILLMARK>\r\n"
                             "<LIMITS START=\"1.2.2003\" END=\"1.9.2003\" />\r\n"
                             "<DATASET NAME=\"A\">\r\n"
                             "<PARAMETERS  ML=\"20\" RC=\"0\" BL=\"60\" IN=\"1000\" TT=\"5\" />\r\n"
                             "<RESULT ML=\"1\" RC=\"1\" BC=\"0\" GN=\"3\" />\r\n"
                             "<DATAPOINT  DATE=\"1.2.2003\" VALUE=\"100\" />\r\n"
                             "<DATAPOINT  DATE=\"1.3.2003\" VALUE=\"101\" />\r\n"
                             "<DATAPOINT  DATE=\"1.6.2003\" VALUE=\"103\" />\r\n"
                             "<DATAPOINT  DATE=\"1.7.2003\" VALUE=\"102\" />\r\n"
                             "</DATASET>\r\n</QUILLMARK>\r\n");
    CliRun sim = Cli("simulate " + Quote(project) + " --result 9");
    ASSERT_EQ(sim.status, 0) << sim.err;
    nlohmann::json s = sim.Json();
    EXPECT_EQ(s["result_set"], 1);
    EXPECT_EQ(s["trades"], 1);
    EXPECT_NE(s["gain"], 0.0);
    EXPECT_DOUBLE_EQ(s["gain_per_year"].get<double>(), s["gain"].get<double>() * 365.25 / 8);
}

TEST_F(CliTest, ResaveGivesBackTheSameBytesAndNeverHalfWrites) {
    fs::path raw = Write("q.csv", kRaw);
    fs::path first = dir / "first.xml";
    ASSERT_EQ(Cli("import " + Quote(raw) + " -o " + Quote(first)).status, 0);
    fs::path second = dir / "second.xml";
    ASSERT_EQ(Cli("resave " + Quote(first) + " " + Quote(second)).status, 0);
    EXPECT_EQ(ReadFile(first), ReadFile(second));

    // A target that cannot be written leaves what was there and no temporary file.
    fs::create_directory(dir / "folder");
    CliRun failed = Cli("resave " + Quote(first) + " " + Quote(dir / "folder"));
    EXPECT_EQ(failed.status, 1);
    EXPECT_TRUE(fs::is_directory(dir / "folder"));
    CliRun missing = Cli("resave " + Quote(first) + " " + Quote(dir / "no" / "x.xml"));
    EXPECT_EQ(missing.status, 1);
    // q.csv, first.xml, second.xml, folder, stderr.txt
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 5);
}

TEST_F(CliTest, ImportIntoAnExistingProjectAddsADataSet) {
    fs::path raw = Write("a.csv", kRaw);
    fs::path project = dir / "p.xml";
    ASSERT_EQ(Cli("import " + Quote(raw) + " -o " + Quote(project)).status, 0);
    fs::path other = Write("b.txt", "Date,Open,Close\n2003-01-02,5,6\n2003-01-03,7,8\n");
    CliRun second = Cli("import " + Quote(other) + " --values-col 3 --into " + Quote(project) +
                        " -o " + Quote(project));
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(second.Json()["name"], "B");
    nlohmann::json info = Cli("info " + Quote(project)).Json();
    ASSERT_EQ(info["datasets"].size(), 2u);
    EXPECT_EQ(info["datasets"][1]["points"], 2);
    EXPECT_EQ(info["window"]["days"], 8);  // the window stays the first import's
}

TEST_F(CliTest, TheShippedSampleReadsAndResavesUnchanged) {
    const fs::path sample = fs::path(QUILLMARK_SOURCE_DIR) / "Project Files" / "SP500.xml";
    if (!fs::exists(sample)) {
        GTEST_SKIP() << "no sample project";
    }
    nlohmann::json info = Cli("info " + Quote(sample)).Json();
    EXPECT_EQ(info["datasets"][0]["points"], 5105);
    EXPECT_EQ(info["datasets"][0]["first"]["date"], "1/3/2000");
    fs::path copy = dir / "copy.xml";
    ASSERT_EQ(Cli("resave " + Quote(sample) + " " + Quote(copy)).status, 0);
    EXPECT_EQ(ReadFile(sample), ReadFile(copy));
}

}  // namespace
