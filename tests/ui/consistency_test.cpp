// What the windows show after each command: the status bar, the result sets box, the Analysis
// and Info pages and the charts describe one state of the project, the charts follow every
// change, refused entries run nothing, and work is not lost without a question.

#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <tuple>

#include <nlohmann/json.hpp>

#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include "analysis/number_format.h"
#include "analysis/potential_gains.h"
#include "storage/project_io.h"
#include "ui/date_strip.h"
#include "ui/figure_text.h"
#include "ui/result_sets_dialog.h"
#include "ui/status_bar.h"
#include "ui_fixture.h"

namespace {

namespace fs = std::filesystem;
using Answer = CMainApp::SaveAnswer;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The JSON that quillmark-cli prints for `args` (null for none); the text "failed" when it
// fails.
nlohmann::json Cli(const std::string& args) {
    const std::string command = std::string("'") + QUILLMARK_CLI + "' " + args + " 2>/dev/null";
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        out.append(buffer, got);
    }
    if (pclose(pipe) != 0) {
        return "failed";
    }
    return out.empty() ? nlohmann::json() : nlohmann::json::parse(out, nullptr, false);
}

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

class ConsistencyTest : public UiTest {
  protected:
    // A copy of the S&P 500 sample, opened, with a ratio that trades, simulated.
    void OpenSampleCopy() {
        m_copy = (Scratch() / "SP500.xml").string();
        fs::copy_file(Sample("Project Files/SP500.xml"), m_copy,
                      fs::copy_options::overwrite_existing);
        Run("&Open...", m_copy);
        Show(PAGE_PARAMETERS);
        Type("ratio", "0.5");
        Click("update");
    }

    static QString Pane(CStatusBar::Pane pane) { return Frame()->Status()->PaneText(pane); }
    static QString PageLabel(int page, const char* name) {
        return Frame()->Sheet()->Page(page)->findChild<QLabel*>(name)->text();
    }
    static QString PageEdit(int page, const char* name) {
        return Frame()->Sheet()->Page(page)->findChild<QLineEdit*>(name)->text();
    }
    static QString Box(const char* name) {
        return Frame()->ResultSets()->findChild<QLineEdit*>(name)->text();
    }

    // The command line, given the project as a save would write it now, reports the parameters
    // and the figures that the program shows.
    static void ExpectTheCommandLineAgrees(const std::string& after) {
        SCOPED_TRACE("the command line after " + after);
        const CDataSet* primary = Project().Primary();
        if (primary == nullptr) {
            return;
        }
        const fs::path state = Scratch() / "state.xml";
        ASSERT_TRUE(WriteProjectFile(Project(), state.string()).IsOk());
        const nlohmann::json info = Cli("info " + Quoted(state));
        ASSERT_TRUE(info.is_object());
        const nlohmann::json& params = info["datasets"][0]["params"];
        const CStrategyParams& shown = primary->m_params;
        EXPECT_EQ(
            std::tuple(params["ML"].get<int>(), params["RC"].get<double>(), params["BL"].get<int>(),
                       params["IN"].get<double>(), params["TT"].get<double>()),
            std::tuple(shown.ML, shown.RC, shown.BL, shown.IN, shown.TT));
        const nlohmann::json simulated = Cli("simulate " + Quoted(state));
        ASSERT_TRUE(simulated.is_object());
        if (!Frame()->Status()->Notice().isEmpty()) {
            EXPECT_TRUE(simulated["gain"].is_null());
            return;
        }
        EXPECT_EQ(simulated["gain"].get<double>(), shown.GN);
        EXPECT_EQ(simulated["output"].get<double>(), shown.OUT);
        EXPECT_EQ(PercentText(simulated["gain_per_year"].get<double>()), Box("gainPerYear"));
        const nlohmann::json& status = simulated["status"];
        EXPECT_EQ(QString::fromStdString(status["date"].get<std::string>()),
                  Pane(CStatusBar::PaneDate));
        EXPECT_EQ(QString::fromStdString(status["name"].get<std::string>()),
                  Pane(CStatusBar::PaneName));
        EXPECT_EQ(QString::fromStdString(FormatNumber(status["value"].get<double>())),
                  Pane(CStatusBar::PaneValue));
    }

    // Every view of the project against the project itself, and against each other.
    static void ExpectOneState(const std::string& after) {
        SCOPED_TRACE("after " + after);
        CDataSet* primary = Project().Primary();
        CDataSet* current = Project().Current();
        const auto& charts = *Frame();
        if (primary == nullptr) {
            EXPECT_EQ(Pane(CStatusBar::PaneName), "");
            EXPECT_EQ(charts.HistoryChart()->StatusLine().dataSetName, "");
            EXPECT_EQ(charts.DataSetChart()->StatusLine().dataSetName, "");
            return;
        }
        const CStrategyParams& params = primary->m_params;
        const auto [first, last] = primary->PointsInWindow();
        const std::string notice = SimulationNotice(Project());
        EXPECT_EQ(Frame()->Status()->Notice().toStdString(), notice);
        if (first < last && notice.empty()) {
            const CDataPoint& end = primary->Points()[last - 1];
            EXPECT_EQ(Pane(CStatusBar::PaneDate).toStdString(), end.FormatDate());
            EXPECT_EQ(Pane(CStatusBar::PaneName).toStdString(), primary->m_name);
            EXPECT_EQ(Pane(CStatusBar::PaneValue).toStdString(), FormatNumber(params.OUT));
            // The history chart's Net line ends where the status bar says.
            EXPECT_EQ(end.GetValue(Net), params.OUT);
        } else {
            // No result: no state at the window's end either.
            EXPECT_EQ(Pane(CStatusBar::PaneDate), "");
            EXPECT_EQ(Pane(CStatusBar::PaneValue), "");
        }
        if (notice.empty()) {
            EXPECT_EQ(PageLabel(PAGE_ANALYSIS, "output"), AmountText(params.OUT));
            EXPECT_EQ(PageLabel(PAGE_ANALYSIS, "gain"), PercentText(params.GN));
            EXPECT_EQ(PageLabel(PAGE_ANALYSIS, "gainPerYear"), Box("gainPerYear"));
            EXPECT_EQ(Box("gainPerYear"),
                      PercentText(ShownGainPerYear(params.GN, Project().m_viewLimits)));
        } else {
            EXPECT_EQ(PageLabel(PAGE_ANALYSIS, "output"), "no result");
            EXPECT_EQ(Box("gainPerYear"), "");  // no old gain over the new window
        }
        const int32_t number = MatchingResultSet(Project());
        EXPECT_EQ(Box("number"), number == 0 && !primary->m_results.empty()
                                     ? QStringLiteral("own")
                                     : QString::number(number));
        // The Info page's potential gains are those of the window on screen.
        ComputePotentialGains(*current);
        EXPECT_EQ(PageEdit(PAGE_INFO, "smoothFalls"), PercentText(current->m_gains[SmoothFalls]));
        EXPECT_EQ(charts.HistoryChart()->StatusLine().dataSetName, primary->m_name);
        EXPECT_EQ(charts.DataSetChart()->StatusLine().dataSetName, current->m_name);
        // The Controls page shows the window that the figures were made for.
        const CLimits& w = Project().m_viewLimits;
        EXPECT_EQ(PageEdit(PAGE_CONTROLS, "startYear").toInt(), w.start.m_year);
        EXPECT_EQ(PageEdit(PAGE_CONTROLS, "endDay").toInt(), w.end.m_day);
    }

    std::string m_copy;
};

TEST_F(ConsistencyTest, NewAndAnOpenThatEmptiesTheProjectRedrawTheCharts) {
    Start();
    const std::string bare = (Scratch() / "bare.xml").string();
    std::ofstream(bare) << "<QUILLMARK>\r\n</QUILLMARK>\r\n";
    for (const std::string& path : {std::string(), bare}) {
        OpenSampleCopy();
        QApplication::processEvents();
        CPaintCounter history(Frame()->HistoryChart());
        CPaintCounter dataSet(Frame()->DataSetChart());
        CPaintCounter strip(Frame()->DateStrip());
        if (path.empty()) {
            Run("&New");
        } else {
            Run("&Open...", path);
        }
        QApplication::processEvents();
        EXPECT_GT(history.m_paints, 0) << path;
        EXPECT_GT(dataSet.m_paints, 0) << path;
        EXPECT_GT(strip.m_paints, 0) << path;
        EXPECT_EQ(Project().DataSetCount(), 0);
        ExpectOneState(path.empty() ? "New" : "Open");
    }
}

// The window holds no point of a data set: no gain of 0 passes for a result.
TEST_F(ConsistencyTest, AWindowWithoutPointsOfADataSetSaysSoInsteadOfAGain) {
    Start();
    OpenSampleCopy();
    Show(PAGE_CONTROLS);
    Type("startYear", "2030");
    Type("endYear", "2031");
    Click("apply");
    EXPECT_EQ(Frame()->Status()->Notice(), "No point of \"SP500-2000\" in the window: no result.");
    EXPECT_EQ(PageLabel(PAGE_ANALYSIS, "notice"), Frame()->Status()->Notice());
    ExpectOneState("an empty window");
    // Process has nothing to optimise there: the result sets stay as they were.
    const size_t results = Project().Primary()->m_results.size();
    const double best = results > 0 ? Project().Primary()->m_results[0].GN : 0.0;
    Show(PAGE_ANALYSIS);
    Click("process");
    ASSERT_EQ(Project().Primary()->m_results.size(), results);
    EXPECT_TRUE(results == 0 || Project().Primary()->m_results[0].GN == best);
    // ... and says so, rather than seeming to do nothing.
    EXPECT_EQ(Frame()->Status()->currentMessage(),
              "Process did not run: the window holds no point of 'SP500-2000': nothing to "
              "optimise.");
    ExpectOneState("Process on an empty window");
}

// Where the file tells the window, before or after its data sets, the program opens it alike:
// same window, same value axis.
TEST_F(ConsistencyTest, AWindowToldAfterTheDataOpensAsOneToldBefore) {
    Start();
    OpenSampleCopy();
    Run("&Open...", m_copy);
    const CLimits before = Project().m_viewLimits;
    std::string text = ReadAll(m_copy);
    const size_t start = text.find("<LIMITS");
    const size_t end = text.find('\n', start) + 1;
    const std::string limits = text.substr(start, end - start);
    text.erase(start, end - start);
    text.insert(text.find("</QUILLMARK>"), limits);
    const std::string after = (Scratch() / "after.xml").string();
    std::ofstream(after, std::ios::binary) << text;
    Run("&Open...", after);
    const CLimits& window = Project().m_viewLimits;
    EXPECT_EQ(std::pair(window.start.m_serial, window.end.m_serial),
              std::pair(before.start.m_serial, before.end.m_serial));
    EXPECT_EQ(std::pair(window.bottom, window.top), std::pair(before.bottom, before.top));
    EXPECT_LT(window.bottom, window.top);
    ExpectOneState("an open of the window after the data");
}

TEST_F(ConsistencyTest, RefusedTextRunsNoCommand) {
    Start();
    OpenSampleCopy();
    const CStrategyParams before = Project().Primary()->m_params;
    const QString status = Pane(CStatusBar::PaneValue);
    Type("smoothing", "1O");  // a letter O
    Type("ratio", "1");
    Click("update");
    EXPECT_EQ(m_refusals, std::vector<std::string>{"Smoothing length (days): \"1O\" is not "
                                                   "accepted.\nPlease enter an integer."});
    EXPECT_EQ(Text("smoothing"), QString::number(before.ML));
    EXPECT_EQ(Project().Primary()->m_params.RC, before.RC);  // nothing stored after it
    EXPECT_EQ(Pane(CStatusBar::PaneValue), status);
    Type("flags", "7O");
    Click("up");  // the flags spin reads the same edits
    EXPECT_EQ(m_refusals.size(), 2u);
    EXPECT_EQ(Project().Primary()->m_params.BL, before.BL);

    // A refusal on one page stops the commands of every other: Process, Walk forward, Save,
    // Save As and Import (before its preview). A refused edit shows its old value again.
    const auto refuse = [this](int page, const char* name, const char* text) {
        Show(page);
        Type(name, text);
    };
    const size_t results = Project().Primary()->m_results.size();
    Project().Primary()->m_results.back().GN = -1.0;  // a run would replace it
    refuse(PAGE_PARAMETERS, "sweepHigh", "99999999999");
    Show(PAGE_ANALYSIS);
    Click("process");
    refuse(PAGE_PARAMETERS, "sweepHigh", "99999999999");
    Show(PAGE_ANALYSIS);
    Click("walkForward");  // would wait in its dialog if it opened
    EXPECT_EQ(m_refusals.size(), 4u);
    EXPECT_EQ(Project().Primary()->m_results.size(), results);
    EXPECT_EQ(Project().Primary()->m_results.back().GN, -1.0);
    const std::string saved = ReadAll(m_copy);
    refuse(PAGE_ANALYSIS, "input", "abc");
    Run("&Save");
    refuse(PAGE_ANALYSIS, "input", "abc");
    Run("Save &As...", (Scratch() / "other.xml").string());
    EXPECT_EQ(ReadAll(m_copy), saved);
    EXPECT_FALSE(fs::exists(Scratch() / "other.xml"));
    EXPECT_EQ(App().Commands().m_lastFile, m_copy);
    refuse(PAGE_DATA, "valuesColumn", "abc");
    Run("&Import...", Sample("Data Files/MSFT.csv"));
    EXPECT_EQ(m_previews, 0);
    EXPECT_EQ(Project().DataSetCount(), 1);
    EXPECT_EQ(m_refusals.size(), 7u);
    EXPECT_TRUE(m_errors.empty());
}

// The desktop program and the command line run the same commands: a project opened and saved
// in the program is byte for byte what `resave` writes, and `simulate` and `info` report the
// parameters and the figures the program shows, own parameters and result sets alike.
TEST_F(ConsistencyTest, BothFrontEndsOpenSaveAndSimulateAlike) {
    Start();
    // The sample with parameters of its own that equal its second result set.
    std::string optimised = ReadAll(Sample("Project Files/SP500.xml"));
    const size_t from = optimised.find("<PARAMETERS");
    optimised.replace(
        from, optimised.find("<DATAPOINT", from) - from,
        "<PARAMETERS ML=\"50\" RC=\"0\" BL=\"20\" IN=\"1000\" TT=\"5\" GN=\"3\" />\r\n"
        "<RESULT ML=\"20\" RC=\"0\" BC=\"10\" GN=\"80\" />\r\n"
        "<RESULT ML=\"50\" RC=\"0\" BC=\"20\" GN=\"70\" />\r\n");
    std::ofstream(Scratch() / "optimised.xml", std::ios::binary) << optimised;
    const fs::path projects[] = {Sample("Project Files/SP500.xml"),
                                 Sample("Project Files/STOCKS.xml"), Scratch() / "optimised.xml"};
    for (const fs::path& project : projects) {
        SCOPED_TRACE(project.string());
        Run("&Open...", project.string());
        const CStrategyParams shown = Project().Primary()->m_params;
        const QString number = Box("number");
        Run("Save &As...", (Scratch() / "program.xml").string());
        ASSERT_TRUE(
            Cli("resave " + Quoted(project) + " " + Quoted(Scratch() / "cli.xml")).is_null());
        EXPECT_EQ(ReadAll(Scratch() / "program.xml"), ReadAll(Scratch() / "cli.xml"));

        const nlohmann::json simulated = Cli("simulate " + Quoted(project));
        ASSERT_TRUE(simulated.is_object());
        EXPECT_EQ(simulated["gain"].get<double>(), shown.GN);
        EXPECT_EQ(simulated["output"].get<double>(), shown.OUT);
        EXPECT_EQ(PercentText(simulated["gain_per_year"].get<double>()), Box("gainPerYear"));
        const nlohmann::json info = Cli("info " + Quoted(Scratch() / "program.xml"));
        ASSERT_TRUE(info.is_object());
        const nlohmann::json& saved = info["datasets"][0]["params"];
        EXPECT_EQ(
            std::tuple(saved["ML"].get<int>(), saved["RC"].get<double>(), saved["BL"].get<int>()),
            std::tuple(shown.ML, shown.RC, shown.BL));
        EXPECT_EQ(saved["GN"].get<double>(), shown.GN);
        if (project == projects[2]) {
            // The file's own parameters equal the second result set, which the box names.
            EXPECT_EQ(std::pair(shown.ML, shown.BL), std::pair(50, 20));
            EXPECT_EQ(number, "2");
        }
    }
}

TEST_F(ConsistencyTest, UnsavedChangesAreAskedAboutAndShownInTheTitle) {
    Start();
    OpenSampleCopy();
    Run("&Save");
    App().UpdateTitle();
    EXPECT_EQ(Frame()->windowTitle(), "SP500.xml[*] - Quillmark");
    EXPECT_FALSE(Frame()->isWindowModified());
    Show(PAGE_INFO);
    Type("comment", "kept");
    m_saveAnswer = Answer::Cancel;
    Run("&New");  // the store finds the comment
    EXPECT_EQ(m_questions, std::vector<std::string>{"Save the changes to SP500.xml?"});
    EXPECT_EQ(Project().DataSetCount(), 1);
    EXPECT_TRUE(Frame()->isWindowModified());
    EXPECT_FALSE(Frame()->close());  // the window's close asks too
    EXPECT_EQ(m_questions.size(), 2u);

    m_saveAnswer = Answer::Save;
    Run("&Open...", Sample("Project Files/SP500.xml"));
    EXPECT_NE(ReadAll(m_copy).find("kept"), std::string::npos);

    Show(PAGE_INFO);
    Type("comment", "dropped");
    m_saveAnswer = Answer::Discard;
    Run("&New");
    EXPECT_EQ(m_questions.size(), 4u);
    EXPECT_EQ(Frame()->windowTitle(), "Untitled[*] - Quillmark");
    Run("&New");  // nothing to lose: no question
    EXPECT_EQ(m_questions.size(), 4u);
}

// Every command of the menus and pages once on the sample project, each followed by the check
// that every view describes the same state, and that the command line, given the project as a
// save would write it, reports what the program shows.
TEST_F(ConsistencyTest, EveryCommandLeavesOneState) {
    Start();
    OpenSampleCopy();
    ExpectOneState("Update");
    const auto page = [this](int index, const char* button) {
        return [this, index, button] {
            Show(index);
            Click(button);
        };
    };
    const auto spin = [this](const char* name, int step) {
        return [this, name, step] {
            Show(PAGE_CONTROLS);
            QTest::mouseClick(m_page->findChild<CSpinArrows*>(name)->Arrow(step), Qt::LeftButton);
        };
    };
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Import", [this] { Run("&Import...", Sample("Data Files/MSFT.csv")); }},
        {"choose the primary",
         [] {
             auto* tree = Frame()->Navigation()->findChildren<QTreeWidget*>()[0];
             tree->setCurrentItem(tree->topLevelItem(0)->child(0)->child(0));
         }},
        {"Limits",
         [&] {
             page(PAGE_CONTROLS, "limits")();
             EXPECT_NE(Project().Primary()->m_params.OUT, 0.0);
         }},
        {"pan", spin("pan", -1)},
        {"zoom", spin("zoom", 1)},
        {"Zero Base", page(PAGE_CONTROLS, "zeroBase")},
        {"Apply", page(PAGE_CONTROLS, "apply")},
        {"Fine", page(PAGE_PARAMETERS, "fine")},
        {"flags up", page(PAGE_PARAMETERS, "up")},
        {"Coarse", page(PAGE_PARAMETERS, "coarse")},
        {"slider",
         [this] {
             Show(PAGE_PARAMETERS);
             m_page->findChild<QSlider*>("resolutionSlider")->setValue(10);
         }},
        {"Update", page(PAGE_PARAMETERS, "update")},
        {"Process",
         [this] {
             Project().m_range.MU = Project().m_range.ML + 1;
             Frame()->Refresh(REFRESH_LOAD);
             Show(PAGE_ANALYSIS);
             Click("process");
         }},
        {"next result set",
         [] {
             QTest::mouseClick(Frame()->ResultSets()->findChild<QAbstractButton*>("next"),
                               Qt::LeftButton);
         }},
        {"Add",
         [this] {
             Show(PAGE_APPEND);
             Type("year", "2031");
             Type("value", "4000");
             Click("add");
         }},
        {"Undo", page(PAGE_APPEND, "undo")},
        {"Move Up",
         [&] {
             page(PAGE_DATA, "moveUp")();
             EXPECT_EQ(Project().Primary()->m_name, Project().Current()->m_name);
         }},
        {"Delete",
         [&] {
             page(PAGE_DATA, "delete")();
             EXPECT_EQ(m_questions.size(), 1u);
             EXPECT_EQ(Project().DataSetCount(), 1);
         }},
        {"Save As", [this] { Run("Save &As...", (Scratch() / "walk.xml").string()); }},
        {"Save", [this] { Run("&Save"); }},
        {"recent file", [this] { Run("&2 "); }},
        {"Open", [this] { Run("&Open...", (Scratch() / "walk.xml").string()); }},
        {"New", [this] { Run("&New"); }}};
    for (const auto& [name, command] : commands) {
        command();
        ExpectOneState(name);
        ExpectTheCommandLineAgrees(name);
    }
    EXPECT_TRUE(m_refusals.empty());
    EXPECT_TRUE(m_errors.empty());
}

}  // namespace
