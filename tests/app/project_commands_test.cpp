#include "app/project_commands.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
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
#include "model/project.h"
#include "support/series_builder.h"
#include "support/test_files.h"

namespace {

// What the commands ask of the program around them, in order: a refresh code, "recent: PATH"
// or "redraw". A store refuses an entry while refuseStores is set.
class RecordingHost : public CCommandHost {
  public:
    void Refresh(RefreshCode code) override {
        calls.push_back(std::to_string(code));
        refusals += code == REFRESH_STORE && refuseStores ? 1 : 0;
    }
    void AddRecentFile(const std::string& path) override { calls.push_back("recent: " + path); }
    void RedrawCharts() override { calls.push_back("redraw"); }
    int64_t RefusalCount() const override { return refusals; }
    void ShowNotice(const std::string& text) override { notice = text; }
    std::vector<std::string> calls;
    std::string notice;
    bool refuseStores = false;
    int64_t refusals = 0;
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
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(commands.m_lastFile, file);

    const CStatus unsaved = commands.SaveProject("/nonexistent/folder/P.xml");
    EXPECT_NE(unsaved.Reason().find("/nonexistent/folder/P.xml"), std::string::npos);
    EXPECT_EQ(commands.m_lastFile, file);
    EXPECT_EQ(commands.ImportRawData("/nonexistent/raw.csv").Reason(),
              "cannot open '/nonexistent/raw.csv': No such file or directory");
    ASSERT_EQ(project.DataSetCount(), 1);
    EXPECT_EQ(project.Primary()->Points().size(), 5105u);

    ASSERT_TRUE(commands.SaveProject(commands.m_lastFile).IsOk());
    EXPECT_EQ(FileText(file), FileText(kSample));
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
    const Calls again{"1", "0", "redraw"}, listed{"1", "4", "0", "redraw"};
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
