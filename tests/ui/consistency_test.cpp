// What the windows show after each command: the status bar, the result sets box, the Analysis
// and Info pages and the charts describe one state of the project, the charts follow every
// change, refused entries run nothing, and work is not lost without a question.

#include <fstream>
#include <functional>
#include <iterator>

#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include "analysis/number_format.h"
#include "analysis/potential_gains.h"
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
        if (first < last) {
            const CDataPoint& end = primary->Points()[last - 1];
            EXPECT_EQ(Pane(CStatusBar::PaneDate).toStdString(), end.FormatDate());
            EXPECT_EQ(Pane(CStatusBar::PaneName).toStdString(), primary->m_name);
            EXPECT_EQ(Pane(CStatusBar::PaneValue).toStdString(), FormatNumber(params.OUT));
            // The history chart's Net line ends where the status bar says.
            EXPECT_EQ(end.GetValue(Net), params.OUT);
        } else {
            EXPECT_EQ(Pane(CStatusBar::PaneDate), "");
        }
        if (notice.empty()) {
            EXPECT_EQ(PageLabel(PAGE_ANALYSIS, "output"), AmountText(params.OUT));
            EXPECT_EQ(PageLabel(PAGE_ANALYSIS, "gain"), PercentText(params.GN));
            EXPECT_EQ(PageLabel(PAGE_ANALYSIS, "gainPerYear"), Box("gainPerYear"));
        } else {
            EXPECT_EQ(PageLabel(PAGE_ANALYSIS, "output"), "no result");
        }
        EXPECT_EQ(Box("gainPerYear"), PercentText(GainPerYear(params.GN, Project().m_viewLimits)));
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
// that every view describes the same state.
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
    }
    EXPECT_TRUE(m_refusals.empty());
    EXPECT_TRUE(m_errors.empty());
}

}  // namespace
