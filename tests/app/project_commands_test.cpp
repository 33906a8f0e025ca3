#include "app/project_commands.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "analysis/status_sink.h"
#include "app/parameter_rules.h"
#include "charts/project_view.h"
#include "charts/scaling.h"
#include "model/progress_sink.h"
#include "model/project.h"
#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

// What the commands ask of the program around them, in order: a refresh code, "recent: PATH"
// or "redraw". A store refuses an entry while refuseStores is set.
class RecordingHost : public CCommandHost {
  public:
    void Refresh(RefreshCode code) override { calls.push_back(std::to_string(code)); }
    void AddRecentFile(const std::string& path) override { calls.push_back("recent: " + path); }
    void RedrawCharts() override { calls.push_back("redraw"); }
    bool StoreEdits() override {
        Refresh(REFRESH_STORE);
        return !refuseStores;
    }
    void ShowNotice(const std::string& text) override { notice = text; }
    // Runs the read here, keeping the shares it reports; with `stopAtShare` set, the user
    // stops it once the read has reported that share.
    void ShowRead(const std::string&, const SweepRun& read) override {
        struct Sink : CProgressSink {
            void ReportProgress(int32_t position) override {
                host.shares.push_back(position);
                if (host.stopAtShare > 0 && position >= host.stopAtShare) {
                    stop = true;
                }
            }
            RecordingHost& host;
            std::atomic<bool>& stop;
            Sink(RecordingHost& h, std::atomic<bool>& s) : host(h), stop(s) {}
        };
        std::atomic<bool> stop{false};
        Sink sink(*this, stop);
        read(stop, &sink);
    }
    std::vector<std::string> calls;
    std::string notice;
    bool refuseStores = false;
    std::vector<int32_t> shares;
    int32_t stopAtShare = 0;
};

// A front end that answers the long-run question with `yes` and runs the sweep at once.
struct AnsweringRunHost : CRunHost {
    bool MayRunLong(const CSweepEstimate&) override {
        ++asked;
        return yes;
    }
    void ShowRun(const SweepRun& run, double) override {
        ++runs;
        const std::atomic<bool> stop{false};
        run(stop, nullptr);
    }
    bool yes = true;
    int asked = 0;
    int runs = 0;
};

struct RecordingStatus : CStatusSink {
    void SetStatus(const std::string& date, const std::string& name, double, int32_t) override {
        text = date + " " + name;
    }
    std::string text;
};

const std::string kSample = QUILLMARK_SOURCE_DIR "/Project Files/SP500.xml";

using Calls = std::vector<std::string>;

class ProjectCommandsTest : public ::testing::Test {
  protected:
    CProject project;
    RecordingHost host;
    RecordingStatus status;
    CProjectCommands commands{project, &host, &status};
};

// A file that is not a project, or cannot be read, changes nothing: not the project, not its
// file, not the recent files; no window hears of it. So a Save after it writes the project
// that was open, to the file it came from. A failed save or import changes nothing either.
TEST_F(ProjectCommandsTest, AFailedOpenSaveOrImportChangesNothing) {
    TempFolder folder;
    const std::string file = folder.PathOf("SP500.xml");
    std::filesystem::copy_file(kSample, file);
    ASSERT_TRUE(commands.OpenProject(file).IsOk());
    const std::string csv = folder.File("prices.csv", "Date,Close\n2020-01-02,3257.85\n");
    const std::string picture = folder.File("chart.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    const std::string fifo = folder.PathOf("pipe.xml");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    host.calls.clear();
    for (const std::string& path : {csv, picture, folder.File("empty.xml", ""), folder.Path(), fifo,
                                    folder.PathOf("missing.xml")}) {
        const CStatus opened = commands.OpenProject(path);
        EXPECT_FALSE(opened.IsOk()) << path;
        EXPECT_NE(opened.Reason().find(path), std::string::npos) << opened.Reason();
    }
    EXPECT_EQ(commands.OpenProject(csv).Reason(),
              "'" + csv +
                  "' is not a Quillmark project: it has no QUILLMARK, LIMITS, RANGE or "
                  "DATASET line");
    EXPECT_EQ(commands.OpenProject(fifo).Reason(),
              "cannot open '" + fifo + "': not a regular file");
    EXPECT_EQ(commands.OpenProject(csv).Kind(), StatusKind::Damaged);
    EXPECT_EQ(commands.OpenProject(fifo).Kind(), StatusKind::Refused);
    EXPECT_EQ(commands.OpenProject(folder.PathOf("missing.xml")).Kind(), StatusKind::NotFound);
    EXPECT_EQ(commands.OpenProject("").Kind(), StatusKind::Refused);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(commands.m_lastFile, file);

    const CStatus unsaved = commands.SaveProject("/nonexistent/folder/P.xml");
    EXPECT_NE(unsaved.Reason().find("/nonexistent/folder/P.xml"), std::string::npos);
    EXPECT_EQ(unsaved.Kind(), StatusKind::NotFound);
    EXPECT_EQ(commands.m_lastFile, file);
    EXPECT_EQ(commands.ImportRawData("/nonexistent/raw.csv").Reason(),
              "cannot open '/nonexistent/raw.csv': No such file or directory");
    ASSERT_EQ(project.DataSetCount(), 1);
    EXPECT_EQ(project.Primary()->Points().size(), 5105u);

    ASSERT_TRUE(commands.SaveProject(commands.m_lastFile).IsOk());
    EXPECT_EQ(FileText(file), FileText(kSample));
}

// Zero Base is a matter of display: both axes start at zero and the charts are redrawn, and
// nothing is simulated or refreshed.
TEST_F(ProjectCommandsTest, ZeroBaseRescalesTheAxesOnly) {
    ASSERT_TRUE(commands.OpenProject(kSample).IsOk());
    const double gain = project.Primary()->m_params.GN;
    host.calls.clear();
    commands.SetZeroBase(true);
    EXPECT_EQ(host.calls, Calls{"redraw"});
    EXPECT_EQ(project.m_viewLimits.bottom, 0.0);
    EXPECT_EQ(project.m_historyLimits.bottom, 0.0);
    EXPECT_EQ(project.Primary()->m_params.GN, gain);
    commands.SetZeroBase(false);
    EXPECT_GT(project.m_viewLimits.bottom, 0.0);
    EXPECT_GT(project.m_historyLimits.bottom, 0.0);
}

// A long read shows how far it has got, and the user may stop it: the open then changes
// nothing, as a file that is not a project does, and nobody is told of a failure.
TEST_F(ProjectCommandsTest, AReadReportsItsProgressAndAStoppedOneChangesNothing) {
    ASSERT_TRUE(commands.OpenProject(kSample).IsOk());
    ASSERT_GE(host.shares.size(), 3u) << "the sample spans several chunks of reading";
    EXPECT_TRUE(std::is_sorted(host.shares.begin(), host.shares.end()));
    EXPECT_EQ(std::adjacent_find(host.shares.begin(), host.shares.end()), host.shares.end());
    EXPECT_EQ(host.shares.back(), 100);

    TempFolder folder;
    const std::string other = folder.PathOf("OTHER.xml");
    std::filesystem::copy_file(kSample, other);
    project.Primary()->m_name = "Mine";
    host.calls.clear();
    host.shares.clear();
    host.stopAtShare = 1;
    const CStatus stopped = commands.OpenProject(other);
    EXPECT_EQ(stopped.Kind(), StatusKind::Cancelled);
    EXPECT_EQ(stopped.Reason(), "the reading of '" + other + "' was stopped");
    EXPECT_EQ(host.shares.size(), 1u);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(commands.m_lastFile, kSample);
    ASSERT_EQ(project.DataSetCount(), 1);
    EXPECT_EQ(project.Primary()->m_name, "Mine");
    EXPECT_EQ(project.Primary()->Points().size(), 5105u);
}

// An open draws the new empty project, then has every window load the project as read.
TEST_F(ProjectCommandsTest, OpenSimulateAndResultSetsRefreshInOrder) {
    ASSERT_TRUE(commands.OpenProject(kSample).IsOk());
    EXPECT_EQ(host.calls,
              (Calls{"5", "4", "redraw", "recent: " + kSample, "0", "3", "4", "2", "redraw"}));
    EXPECT_EQ(commands.m_lastFile, kSample);
    host.calls.clear();
    commands.Simulate();
    EXPECT_EQ(host.calls, (Calls{"1", "0", "redraw"}));
    EXPECT_EQ(status.text, "4/17/2020 SP500-2000");
    // The history axis follows the simulated gross values.
    EXPECT_LT(project.m_historyLimits.displayBottom, project.m_historyLimits.displayTop);

    host.calls.clear();
    int32_t n = 99;
    commands.ApplyResultSet(n);
    EXPECT_EQ(n, static_cast<int32_t>(project.Primary()->m_results.size()));
    EXPECT_EQ(host.calls, (Calls{"1", "redraw", "0"}));
}

TEST_F(ProjectCommandsTest, ProcessValidatesTheRangeForEveryFrontEnd) {
    EXPECT_EQ(commands.StartProcess().Reason(), "the project has no data set to optimise");
    CDataSet* ds = project.AddDataSet("A");
    AppendDaily(*ds, 1000, {100, 102, 101, 104, 108, 107, 111, 115});
    SetWindow(project, 1000, 1007);
    project.m_range = {.ML = -3, .MU = -9, .RR = 0, .BI = 50};
    ASSERT_TRUE(commands.StartProcess().IsOk());
    EXPECT_EQ(project.m_range.ML, 1);
    EXPECT_EQ(project.m_range.MU, 1);
    EXPECT_EQ(project.m_range.RR, 1);

    const std::atomic<bool> stop{false};
    CProjectCommands::RunProcess(project, 1, stop, nullptr);
    commands.FinishProcess();
    EXPECT_EQ(host.calls.back(), "2");
    EXPECT_FALSE(ds->m_results.empty());
}

// Every command that stores the pages stops on a refused entry: nothing is written, imported or
// run, and Process leaves the result sets and the parameters alone.
TEST_F(ProjectCommandsTest, ARefusedEntryStopsSaveImportAndProcess) {
    TempFolder folder;
    const std::string file = folder.File("p.xml", FileText(kSample));
    const std::string csv = folder.File("prices.csv", "Date,Close\n2020-01-02,3257.85\n");
    ASSERT_TRUE(commands.OpenProject(file).IsOk());
    const std::string before = FileText(file);
    const CStrategyParams params = project.Primary()->m_params;
    project.Primary()->m_comment = "changed";
    host.refuseStores = true;
    const std::string target = folder.PathOf("other.xml");
    for (const CStatus& refused :
         {commands.SaveProject(file), commands.SaveProject(target), commands.ImportRawData(csv),
          commands.ImportRawData(csv, 1, 2), commands.StartProcess()}) {
        EXPECT_EQ(refused.Kind(), StatusKind::Refused) << refused.Reason();
    }
    AnsweringRunHost runner;
    EXPECT_EQ(commands.Process(runner, {}).Kind(), StatusKind::Refused);
    EXPECT_EQ(runner.runs + runner.asked, 0);
    EXPECT_EQ(FileText(file), before);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(project.DataSetCount(), 1);
    EXPECT_EQ(project.Primary()->m_params.ML, params.ML);
    EXPECT_EQ(commands.m_lastFile, file);
}

// Open shows the parameters the file holds, simulated, and the box's number says which result
// set they equal (0: the user's own). Update keeps the user's own; a long run declined changes
// nothing; a run applies the box's number, the first set after own parameters.
TEST_F(ProjectCommandsTest, OpenKeepsTheFilesParametersAndProcessAppliesTheBoxsNumber) {
    TempFolder folder;
    std::string text = FileText(kSample);
    const size_t from = text.find("<PARAMETERS");
    text.replace(from, text.find("<DATAPOINT", from) - from,
                 "<PARAMETERS  ML=\"50\" RC=\"0.3\" BL=\"40\" IN=\"1000\" TT=\"5\" GN=\"1\" />\n"
                 "<RESULT ML=\"30\" RC=\"0.5\" BC=\"20\" GN=\"90\" />\n"
                 "<RESULT ML=\"12\" RC=\"1\" BC=\"10\" GN=\"80\" />\n"
                 "<RESULT ML=\"50\" RC=\"0.25\" BC=\"40\" GN=\"70\" />\n");
    const std::string file = folder.File("p.xml", text);
    ASSERT_TRUE(commands.OpenProject(file).IsOk());
    CDataSet& primary = *project.Primary();
    ASSERT_EQ(primary.m_results.size(), 3u);
    EXPECT_EQ(std::tuple(primary.m_params.ML, primary.m_params.RC, primary.m_params.BL),
              std::tuple(50, 0.3, 40));
    EXPECT_EQ(commands.ResultNumber(), 0);
    EXPECT_NE(primary.m_params.GN, 1.0);  // simulated on opening

    commands.StepResultSet(2);  // from own: the second set
    EXPECT_EQ(commands.ResultNumber(), 2);
    EXPECT_EQ(primary.m_params.ML, primary.m_results[1].ML);
    ASSERT_TRUE(commands.SaveProject(file).IsOk());
    ASSERT_TRUE(commands.OpenProject(file).IsOk());
    EXPECT_EQ(commands.ResultNumber(), 2);
    EXPECT_EQ(project.Primary()->m_params.ML, project.Primary()->m_results[1].ML);

    project.Primary()->m_params.BL = 33;
    commands.Simulate();
    EXPECT_EQ(commands.ResultNumber(), 0);

    AnsweringRunHost runner;
    runner.yes = false;
    CProcessOptions options{.threads = 1, .askAboveSeconds = -1.0};
    host.calls.clear();
    EXPECT_EQ(commands.Process(runner, options).Kind(), StatusKind::Refused);
    EXPECT_EQ(std::pair(runner.asked, runner.runs), std::pair(1, 0));
    EXPECT_EQ(project.Primary()->m_params.BL, 33);
    EXPECT_EQ(host.calls, (Calls{"1"}));

    runner.yes = true;
    project.m_range = {.ML = 10, .MU = 12, .RR = 2, .BI = 10};
    ASSERT_TRUE(commands.Process(runner, options).IsOk());
    EXPECT_EQ(commands.ResultNumber(), 1);
    EXPECT_EQ(project.Primary()->m_params.ML, project.Primary()->m_results[0].ML);
    EXPECT_EQ(host.calls.back(), "2");
    EXPECT_TRUE(commands.Landscape().Recorded());

    // The landscape describes the data, window and ranges it was found on, and no other.
    const auto stale = [&](const std::function<void()>& change) {
        EXPECT_TRUE(commands.Process(runner, options).IsOk());
        EXPECT_TRUE(commands.Landscape().Recorded());
        commands.Simulate();
        int32_t second = 2;
        commands.ApplyResultSet(second);
        EXPECT_TRUE(commands.Landscape().Recorded()) << "parameters are not its inputs";
        change();
        return !commands.Landscape().Recorded();
    };
    EXPECT_TRUE(stale([&] { commands.StepWindow(PanWindow, -1); }));
    EXPECT_TRUE(stale([&] { project.m_range.MU += 1; }));
    EXPECT_TRUE(stale([&] { project.Primary()->m_params.TT = 9.0; }));
    EXPECT_TRUE(stale([&] { commands.AddPoint(1, 1, 2031, 4000.0); }));
    EXPECT_TRUE(stale([&] {
        ASSERT_TRUE(commands.ImportRawData(QUILLMARK_SOURCE_DIR "/Data Files/MSFT.csv").IsOk());
    }));
    EXPECT_TRUE(stale([&] { commands.MoveUp(); }));
    EXPECT_TRUE(stale([&] { commands.DeleteCurrentDataSet(); }));
}

TEST(ParameterRules, StoredFieldsAreClampedIntoRange) {
    CProject project;
    CDataSet* primary = project.AddDataSet("P");
    CDataSet* current = project.AddDataSet("C");
    project.SetCurrent(current);
    CParameterFields fields{
        .smoothing = 0, .sweepLow = -4, .sweepHigh = -8, .ratio = 1.5, .flags = 140};
    StoreParameters(project, fields);
    EXPECT_EQ(std::tuple(primary->m_params.ML, primary->m_params.BL, project.m_range.MU),
              std::tuple(1, 100, 1));
    EXPECT_EQ(std::pair(current->m_params.RC, primary->m_params.RC), std::pair(1.0, 0.0));
    EXPECT_EQ(fields.flags, 100);  // the page shows what was stored
    fields.ratio = -7.0;
    StoreParameters(project, fields);
    EXPECT_EQ(current->m_params.RC, -1.0);
}

// A save stores pending edits first. A change is what a save would write differently: an edit
// and its undoing cancel out, and the file's own changes on disk are told apart.
TEST_F(ProjectCommandsTest, UnsavedChangesAreWhatASaveWouldWriteDifferently) {
    EXPECT_FALSE(commands.HasUnsavedChanges());
    TempFolder folder;
    const std::string path = folder.File("p.xml", FileText(kSample));
    ASSERT_TRUE(commands.OpenProject(path).IsOk());
    EXPECT_FALSE(commands.HasUnsavedChanges());
    project.Primary()->m_comment = "note";
    EXPECT_TRUE(commands.HasUnsavedChanges());
    project.Primary()->m_comment.clear();
    EXPECT_FALSE(commands.HasUnsavedChanges());
    commands.Simulate();  // derived figures are not saved, GN and OUT are
    project.Primary()->m_params.ML += 1;
    EXPECT_TRUE(commands.HasUnsavedChanges());
    host.calls.clear();
    ASSERT_TRUE(commands.SaveProject(path).IsOk());
    EXPECT_EQ(host.calls, (Calls{"1", "recent: " + path}));
    EXPECT_FALSE(commands.HasUnsavedChanges());
    commands.Simulate();  // the gain of the new length
    ASSERT_TRUE(commands.SaveProject(path).IsOk());
    commands.StepWindow(PanWindow, -1);  // there and back: the same window, the same gain
    commands.StepWindow(PanWindow, 1);
    EXPECT_FALSE(commands.HasUnsavedChanges());
    // Points count as changed once touched, without a pass over them.
    ASSERT_EQ(commands.AddPoint(1, 1, 2030, 5000.0), CProjectCommands::AddOutcome::Added);
    EXPECT_TRUE(commands.HasUnsavedChanges());
    commands.UndoAddPoint();
    EXPECT_TRUE(commands.HasUnsavedChanges());
    ASSERT_TRUE(commands.SaveProject(path).IsOk());
    EXPECT_FALSE(commands.HasUnsavedChanges());

    EXPECT_FALSE(commands.FileChangedOnDisk());
    std::filesystem::last_write_time(
        path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
    EXPECT_TRUE(commands.FileChangedOnDisk());
    std::filesystem::remove(path);
    EXPECT_FALSE(commands.FileChangedOnDisk());  // a save simply writes it again
    commands.NewProject();
    EXPECT_FALSE(commands.HasUnsavedChanges());
}

// Each command that moves the window, the points or the primary ends as Update does; one that
// finds a refused entry in its store goes no further.
TEST_F(ProjectCommandsTest, WindowAndDataCommandsSimulateAgainUnlessAnEntryWasRefused) {
    ASSERT_TRUE(commands.OpenProject(kSample).IsOk());
    CDataSet* other = project.AddDataSet("B");
    AppendDaily(*other, project.Primary()->Points().back().m_serial + 10, {1, 2, 3, 4});
    SetCurrentDataSet(project, other);
    const auto run = [&](auto command) {
        host.calls.clear();
        command();
        return host.calls;
    };
    const Calls again{"1", "0", "redraw"}, listed{"1", "3", "4", "0", "redraw"};
    EXPECT_EQ(run([&] { commands.ResetWindow(); }), again);
    // The window is B's four days, after the primary's last point: no result, and no state.
    EXPECT_EQ(status.text, " ");
    EXPECT_EQ(host.notice, "No point of \"SP500-2000\" in the window: no result.");
    EXPECT_EQ(run([&] { commands.MoveUp(); }), listed);
    EXPECT_EQ(project.Primary(), other);
    EXPECT_EQ(run([&] { commands.DeleteCurrentDataSet(); }), listed);
    EXPECT_EQ(project.Primary()->m_name, "SP500-2000");
    EXPECT_EQ(run([&] { commands.ResetWindow(); }), again);
    EXPECT_EQ(status.text, "4/17/2020 SP500-2000");

    host.refuseStores = true;
    const double gain = project.Primary()->m_params.GN;
    project.Primary()->m_params.ML += 7;
    for (const auto& command : std::vector<std::function<void()>>{
             [&] { commands.Simulate(); }, [&] { commands.DeleteCurrentDataSet(); }}) {
        EXPECT_EQ(run(command), (Calls{"1"}));
    }
    EXPECT_EQ(commands.AddPoint(1, 1, 2030, 5.0), CProjectCommands::AddOutcome::EditRefused);
    EXPECT_EQ(project.Primary()->m_params.GN, gain);
    EXPECT_EQ(project.DataSetCount(), 1);

    host.refuseStores = false;
    EXPECT_EQ(commands.AddPoint(1, 1, 2030, 5.0), CProjectCommands::AddOutcome::Added);
    EXPECT_EQ(commands.AddPoint(1, 1, 2030, 5.0), CProjectCommands::AddOutcome::DateRefused);
}

}  // namespace

// Pan, zoom and Limits compute the current set's potential gains once, for their new window;
// what they leave must be bit for bit what Update, which computes everything again, leaves: the
// gains, every set's curve and the result. Before each command the window, a length or the points
// change, so gains kept from before would show.
TEST_F(ProjectCommandsTest, WindowCommandsLeaveWhatAFullUpdateWould) {
    ASSERT_TRUE(commands.OpenProject(kSample).IsOk());
    CDataSet* primary = project.Primary();
    CDataSet* other = project.AddDataSet("B");
    std::vector<double> values;
    for (int i = 0; i < 400; ++i) {
        values.push_back(1000.0 + 40.0 * std::sin(i / 9.0) + 0.3 * i);
    }
    AppendDaily(*other, primary->Points().back().m_serial - 399, values);
    other->m_params.ML = primary->m_params.ML + 5;
    SetCurrentDataSet(project, other);
    const auto state = [&] {
        std::vector<uint64_t> bits;
        for (double g : project.Current()->m_gains) {
            bits.push_back(std::bit_cast<uint64_t>(g));
        }
        for (const CDataSet* ds : {primary, other}) {
            for (const CDataPoint& p : ds->Points()) {
                bits.push_back(std::bit_cast<uint64_t>(p.GetValue(Smooth)));
            }
        }
        bits.push_back(std::bit_cast<uint64_t>(primary->m_params.GN));
        return bits;
    };
    const auto sameAsUpdate = [&](const char* what) {
        const std::vector<uint64_t> left = state();
        commands.Simulate();
        EXPECT_TRUE(left == state()) << what;
        return left;
    };
    commands.ResetWindow();
    const std::vector<uint64_t> reset = sameAsUpdate("Limits on B");
    commands.StepWindow(ZoomWindow, 1);
    const std::vector<uint64_t> zoomed = sameAsUpdate("zoom");
    EXPECT_NE(std::vector<uint64_t>(zoomed.begin(), zoomed.begin() + 4),
              std::vector<uint64_t>(reset.begin(), reset.begin() + 4));
    other->m_params.ML += 3;
    commands.StepWindow(PanWindow, -1);
    sameAsUpdate("pan after a new length");
    other->MutablePoints()[200].SetValue(Raw, 1500.0);
    commands.StepWindow(PanWindow, 1);
    sameAsUpdate("pan after a changed point");
    SetCurrentDataSet(project, primary);  // Limits on the primary clears its curve first
    commands.ResetWindow();
    sameAsUpdate("Limits on the primary");
}
