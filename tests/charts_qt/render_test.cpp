// quillmark-cli render: the real program draws the S&P 500 sample, and the pictures are checked
// for what must hold in them.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QPalette>

namespace fs = std::filesystem;

namespace {

// The default picture: 1000 x 600, so each chart is 280 high with its plot 266 high, the
// label column starts at x = 941, and days map onto 941 pixels.
constexpr int kWidth = 1000;
constexpr int kHalf = 280;
constexpr int kPlotHeight = 266;
constexpr int kDayWidth = 941;
const QColor kBar(65, 65, 20);

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

struct Day {
    int32_t serial;
    int flag;
};

class RenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quillmark-render-test-XXXXXX";
        dir = mkdtemp(pattern);
    }
    void TearDown() override { fs::remove_all(dir); }

    CliRun Cli(const std::string& args, const std::string& environment = "") {
        const fs::path err = dir / "stderr.txt";
        const std::string command =
            environment + " " + QUILLMARK_CLI + " " + args + " 2>'" + err.string() + "'";
        CliRun run;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        size_t got = 0;
        while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
            run.out.append(buffer, got);
        }
        const int status = pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        std::ifstream in(err);
        std::stringstream text;
        text << in.rdbuf();
        run.err = text.str();
        return run;
    }

    static std::string Quote(const fs::path& p) { return "'" + p.string() + "'"; }

    // An optimised copy of the sample, whose first result set trades.
    fs::path OptimisedSample() {
        const fs::path sample = fs::path(QUILLMARK_SOURCE_DIR) / "Project Files" / "SP500.xml";
        const fs::path copy = dir / "optimised.xml";
        EXPECT_EQ(Cli("optimise " + Quote(sample) + " -o " + Quote(copy)).status, 0);
        return copy;
    }

    // The days of the primary series after result set 1, from simulate's CSV.
    std::vector<Day> SimulatedDays(const fs::path& project) {
        const fs::path csv = dir / "series.csv";
        EXPECT_EQ(Cli("simulate " + Quote(project) + " --result 1 --series " + Quote(csv)).status,
                  0);
        std::ifstream in(csv);
        std::string line;
        std::getline(in, line);  // header
        std::vector<Day> days;
        while (std::getline(in, line)) {
            const size_t afterDate = line.find(',');
            const size_t lastComma = line.rfind(',');
            days.push_back(
                Day{std::stoi(line.substr(afterDate + 1)), std::stoi(line.substr(lastComma + 1))});
        }
        return days;
    }

    fs::path dir;
};

// The share of the pixels of column x, rows [top, bottom), that have one of the colours.
double ColumnShare(const QImage& image, int x, int top, int bottom,
                   const std::vector<QColor>& colours) {
    int hits = 0;
    for (int y = top; y < bottom; ++y) {
        for (const QColor& c : colours) {
            if (image.pixelColor(x, y) == c) {
                ++hits;
                break;
            }
        }
    }
    return static_cast<double>(hits) / (bottom - top);
}

TEST_F(RenderTest, DrawsTheSampleWithoutADisplay) {
    const fs::path sample = fs::path(QUILLMARK_SOURCE_DIR) / "Project Files" / "SP500.xml";
    const fs::path png = dir / "sp500.png";
    // The program picks the offscreen platform itself, whatever the environment says.
    const CliRun run = Cli("render " + Quote(sample) + " -o " + Quote(png),
                           "env DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=xcb");
    ASSERT_EQ(run.status, 0) << run.err;
    const nlohmann::json json = nlohmann::json::parse(run.out, nullptr, false);
    EXPECT_EQ(json["output"], png.string());
    EXPECT_EQ(json["width"], 1000);
    EXPECT_EQ(json["height"], 600);
    EXPECT_TRUE(json["result_set"].is_null());
    // Nothing but the picture is left in the folder.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);

    QImage image(QString::fromStdString(png.string()));
    ASSERT_EQ(image.width(), kWidth);
    ASSERT_EQ(image.height(), 600);
    // With its own parameters the sample never trades: a black plot under sparse lines.
    int black = 0;
    for (int y = 0; y < kPlotHeight; ++y) {
        for (int x = 0; x < kDayWidth - 1; ++x) {
            black += image.pixelColor(x, y) == Qt::black ? 1 : 0;
        }
    }
    EXPECT_GT(black, (kDayWidth - 1) * kPlotHeight * 8 / 10);
    // The tops of the label columns: green over the history chart, blue over the data set.
    EXPECT_EQ(image.pixelColor(995, 1), QColor(0, 200, 0));
    EXPECT_EQ(image.pixelColor(995, kHalf + 40 + 1), QColor(0, 0, 200));
    EXPECT_EQ(image.pixelColor(995, kPlotHeight - 1), QColor(0, 2, 0));
    EXPECT_EQ(image.pixelColor(941, 100), QColor(Qt::white));
    // The strip in the palette's button colour, the status lines white.
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    EXPECT_GT(ColumnShare(image, 500, kHalf, kHalf + 40, {face}), 0.5);
    EXPECT_EQ(image.pixelColor(600, kHalf - 7), QColor(Qt::white));
}

// An optimised copy trades: bars where it is in the market; with a cursor, the crosshairs.
TEST_F(RenderTest, BarsAndCrosshairOfTheOptimisedSample) {
    const fs::path project = OptimisedSample();
    const std::vector<Day> days = SimulatedDays(project);
    ASSERT_GT(days.size(), 1000u);
    const fs::path plain = dir / "plain.png";
    const fs::path cursor = dir / "cursor.png";
    ASSERT_EQ(Cli("render " + Quote(project) + " --result 1 -o " + Quote(plain)).status, 0);
    const CliRun run =
        Cli("render " + Quote(project) + " --result 1 --cursor 0.5 -o " + Quote(cursor));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(nlohmann::json::parse(run.out)["cursor"], 0.5);
    const QImage without(QString::fromStdString(plain.string()));
    const QImage with(QString::fromStdString(cursor.string()));

    // The sample's window is its data. The middle of every run of 20 days or more, in or out
    // of the market, is checked in both charts.
    const int32_t first = days.front().serial;
    const int32_t dayCount = days.back().serial - first + 1;
    const auto columnOf = [&](int32_t serial) {
        return static_cast<int>((serial - first) * static_cast<double>(kDayWidth) / dayCount);
    };
    int checkedIn = 0, checkedOut = 0;
    size_t runStart = 0;
    for (size_t i = 1; i <= days.size(); ++i) {
        if (i < days.size() && days[i].flag == days[runStart].flag) {
            continue;
        }
        if (i - runStart >= 20) {
            const int x = columnOf(days[(runStart + i) / 2].serial);
            for (int top : {0, kHalf + 40}) {
                const double share = ColumnShare(without, x, top, top + kPlotHeight, {kBar});
                if (days[runStart].flag == 1) {
                    EXPECT_GT(share, 0.5) << x;
                    ++checkedIn;
                } else {
                    EXPECT_EQ(share, 0.0) << x;
                    ++checkedOut;
                }
            }
        }
        runStart = i;
    }
    EXPECT_GT(checkedIn, 0);
    EXPECT_GT(checkedOut, 0);

    // The cursor point is the last day on or before the middle of the window. The crosshair
    // inverts what it crosses: black becomes 105 grey, a bar (105, 105, 125).
    int32_t chosen = first;
    for (const Day& d : days) {
        chosen = d.serial <= first + dayCount / 2 ? d.serial : chosen;
    }
    const int x = columnOf(chosen);
    const std::vector<QColor> inverted = {QColor(105, 105, 105), QColor(105, 105, 125)};
    for (int top : {0, kHalf + 40}) {
        EXPECT_GT(ColumnShare(with, x, top, top + kPlotHeight, inverted), 0.5);
        EXPECT_EQ(ColumnShare(without, x, top, top + kPlotHeight, inverted), 0.0);
        // The indicator: green while the mouse is over the panel, grey otherwise.
        const QColor active = with.pixelColor(30, top + kHalf - 8);
        const QColor idle = without.pixelColor(30, top + kHalf - 8);
        EXPECT_GT(active.green(), 2 * active.red());
        EXPECT_EQ(idle.red(), idle.green());
    }
}

TEST_F(RenderTest, UsageAndFileErrors) {
    const fs::path sample = fs::path(QUILLMARK_SOURCE_DIR) / "Project Files" / "SP500.xml";
    const fs::path png = dir / "x.png";
    EXPECT_EQ(Cli("render " + Quote(sample)).status, 2);  // no -o
    EXPECT_EQ(Cli("render " + Quote(sample) + " -o " + Quote(png) + " --width 0").status, 2);

    const CliRun missing = Cli("render " + Quote(dir / "none.xml") + " -o " + Quote(png));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err.rfind("quillmark-cli: error: ", 0), 0u) << missing.err;
    EXPECT_EQ(std::count(missing.err.begin(), missing.err.end(), '\n'), 1);

    const CliRun unwritable = Cli("render " + Quote(sample) + " -o " + Quote(dir / "no" / "x.png"));
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_EQ(unwritable.err.rfind("quillmark-cli: error: ", 0), 0u) << unwritable.err;
    EXPECT_FALSE(fs::exists(png));
}

}  // namespace
