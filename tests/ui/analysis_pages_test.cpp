// The analysis views: the Parameters, Analysis and Info pages, the result sets box and the
// progress dialog of an optimisation run.

#include <cmath>
#include <limits>
#include <string>

#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QTimer>

#include "analysis/landscape.h"
#include "app/duration_text.h"
#include "ui/figure_text.h"
#include "ui/landscape_dialog.h"
#include "ui/progress_dialog.h"
#include "ui/result_sets_dialog.h"
#include "ui/walk_forward_dialog.h"
#include "ui_fixture.h"

namespace {

// The default ranges (which outlive a project), a primary data set "A" and a current one "B"
// in a 730-day window from 2001, and the Parameters page.
class AnalysisPagesTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        Start();
        Project().m_range = CStrategyRange();
        for (const char* name : {"A", "B"}) {
            AppendDaily(*Project().AddDataSet(name), m_start, {100, 102, 101, 105});
        }
        SetCurrentDataSet(Project(), Project().DataSets()[1].get());
        SetWindow(Project(), m_start, m_start + 729);
        Frame()->Refresh(REFRESH_LOAD);  // the Controls page stores this window from now on
        Show(PAGE_PARAMETERS);
    }
    static CStrategyParams& Primary() { return Project().Primary()->m_params; }
    QString Label(const char* name) const { return m_page->findChild<QLabel*>(name)->text(); }
    static QString Box(const char* name) {
        return Frame()->ResultSets()->findChild<QLineEdit*>(name)->text();
    }
    static void Step(const char* button) {
        QTest::mouseClick(Frame()->ResultSets()->findChild<QAbstractButton*>(button),
                          Qt::LeftButton);
    }
    // The S&P 500 sample on the Analysis page, with the sweep of lengths ending at `mu`.
    void OpenSample(int32_t mu) {
        Run("&Open...", Sample("Project Files/SP500.xml"));
        Project().m_range.MU = mu;
        Frame()->Refresh(REFRESH_LOAD);
        Show(PAGE_ANALYSIS);
    }
    // The applied result set as the screen shows it: number, gain per year, output.
    QString Shown() const {
        return Box("number") + " " + Box("gainPerYear") + " " + Label("output");
    }
    QString Figures() const {
        return Text("rawRises") + " " + Text("rawFalls") + " " + Text("smoothRises") + " " +
               Text("smoothFalls");
    }

    const int32_t m_start = MakePoint(1, 1, 2001).m_serial;
};

TEST_F(AnalysisPagesTest, UpdateStoresCorrectedValuesAndTheRatioGoesToTheCurrentDataSet) {
    const char* const rows[][3] = {{"smoothing", "0", "1"},  {"smoothing", "abc", "1"},  // refused
                                   {"flags", "150", "100"},  {"flags", "-5", "0"},
                                   {"ratio", "2.5", "1"},    {"ratio", "-3", "-1"},
                                   {"sweepLow", "50", "50"}, {"sweepHigh", "30", "50"}};
    for (const auto& [edit, typed, shown] : rows) {
        Type(edit, typed);
        Click("update");
        EXPECT_EQ(Text(edit), shown) << edit << " " << typed;
    }
    EXPECT_EQ(std::tuple(Primary().ML, Primary().BL, Primary().RC, Project().m_range.MU),
              std::tuple(1, 0, 0.0, 50));
    EXPECT_EQ(Project().Current()->m_params.RC, -1.0);
}

TEST_F(AnalysisPagesTest, ANewCurrentDataSetBringsOnlyItsRatio) {
    const QString smoothing = Text("smoothing");
    Primary().ML = smoothing.toInt() + 1;
    Project().Current()->m_params.RC = 0.5;
    Frame()->Refresh(REFRESH_CURRENT);
    EXPECT_EQ(Text("ratio") + " " + Text("smoothing"), "0.5 " + smoothing);
    Frame()->Refresh(REFRESH_LOAD);
    EXPECT_EQ(Text("smoothing"), QString::number(Primary().ML));
}

TEST_F(AnalysisPagesTest, FlagStepFlagsSpinAndResolutionSliderAndNewEmptiesThem) {
    for (const auto& [bi, step] : {std::pair{7, "coarse"}, {5, "fine"}}) {
        Project().m_range.BI = bi;
        Frame()->Refresh(REFRESH_LOAD);
        EXPECT_TRUE(m_page->findChild<QRadioButton*>(step)->isChecked()) << bi;
        Frame()->Refresh(REFRESH_STORE);
        EXPECT_EQ(Project().m_range.BI, bi == 7 ? 10 : 5);
    }
    // The upper arrow adds the step, the lower one subtracts it; Update follows.
    const char* const rows[][4] = {
        {"coarse", "60", "up", "70"}, {"fine", "60", "up", "65"}, {"coarse", "0", "down", "0"}};
    for (const auto& [step, flags, arrow, stored] : rows) {
        Click(step);
        Type("flags", flags);
        Click(arrow);
        EXPECT_EQ(QString::number(Primary().BL), stored) << step << " " << arrow;
    }
    m_page->findChild<QSlider*>("resolutionSlider")->setValue(4);
    EXPECT_EQ(Project().m_range.RR, 4);
    EXPECT_EQ(Text("resolution"), "0.25");
    Run("&New");
    EXPECT_EQ(Text("resolution") + "|" + Text("smoothing") + Text("flags") + Text("ratio"), "|000");
}

TEST_F(AnalysisPagesTest, ReportsOfTheLastSimulationAndNegativeAmounts) {
    Show(PAGE_ANALYSIS);
    Primary() = {.IN = -5.0, .TT = -1.0, .OUT = 1089.5, .GN = 10.0};
    Frame()->Refresh(REFRESH_LOAD);
    EXPECT_EQ(Text("input") + " " + Text("charge"), "1 0");
    EXPECT_EQ(std::pair(Primary().IN, Primary().TT), std::pair(1.0, 0.0));
    EXPECT_EQ(Label("output") + " " + Label("gain") + " " + Label("gainPerYear"),
              "(1089.50) 10.0 5.0");
    // The gain per year over 730 days shows the same text on the page and in the result sets
    // box: cut, never rounded in one place and cut in the other.
    const std::tuple<double, const char*> rows[] = {
        {24.74, "12.3"}, {51.3, "25.6"}, {-28.666, "-14.3"}, {INFINITY, ""}};
    for (const auto& [gain, shown] : rows) {
        Primary().GN = gain;
        Frame()->Refresh(REFRESH_LOAD);
        EXPECT_EQ(Label("gainPerYear") + "|" + Box("gainPerYear"), QString(shown) + "|" + shown);
    }
    EXPECT_EQ(Label("gain"), "");  // an input of 0
    Run("&New");
    EXPECT_EQ(Label("output") + Label("gain") + Label("gainPerYear") + Box("gainPerYear"),
              "(0.0)0.00.00.0");
}

// Figures read from the Net line and flags as a simulation left them: a losing trade that ends
// after a 10% fall from the first point, then an open trade that wins back 11.1%.
TEST_F(AnalysisPagesTest, FiguresOfTheLastSimulationUnderTheReportAndInTheResultSetsTooltip) {
    Show(PAGE_ANALYSIS);
    CDataSet& a = *Project().Primary();
    Primary() = {.IN = 1000.0, .TT = 0.0, .OUT = 1100.0, .GN = 10.0};
    const double nets[] = {1100, 990, 990, 1100};
    const int32_t flags[] = {1, 1, 0, 1};
    for (size_t i = 0; i < 4; ++i) {
        a.MutablePoints()[i].SetValue(Net, nets[i]);
        a.MutablePoints()[i].m_flag = flags[i];
    }
    Frame()->Refresh(REFRESH_LOAD);
    const QString dates = QString::fromStdString(" (" + a.Points()[0].FormatDate() + " to " +
                                                 a.Points()[1].FormatDate() + ")");
    const std::pair<const char*, QString> shown[] = {
        {"compounded", "4.8 %"},       {"buyAndHold", "5.0 %"}, {"trades", "2"},
        {"inMarket", "75.0 %"},        {"bestTrade", "11.1 %"}, {"worstTrade", "-1.0 %"},
        {"drawdown", "10.0 %" + dates}};
    for (const auto& [name, text] : shown) {
        EXPECT_EQ(Label(name), text) << name;
    }
    const QString tip = Frame()->ResultSets()->findChild<QGroupBox*>()->toolTip();
    EXPECT_TRUE(tip.startsWith("Gain: 10.0 %\nGain/Year: 5.0 %\n")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("Max. drawdown: 10.0 %" + dates)) << tip.toStdString();

    // A window without a point of the primary: no result, and no figures that pretend one.
    SetWindow(Project(), m_start + 1000, m_start + 1100);
    Frame()->Refresh(REFRESH_LOAD);
    EXPECT_EQ(Label("output"), "no result");
    EXPECT_EQ(Label("trades") + Label("drawdown"), "");
    Run("&New");
    EXPECT_EQ(Label("trades") + Label("bestTrade"), "");
    EXPECT_EQ(Frame()->ResultSets()->findChild<QGroupBox*>()->toolTip(), "");
}

TEST(ProgressDialog, MessagesMoveTheBarAndOnlyTheEndOfRunEndsIt) {
    CProject project;
    project.AddDataSet("A");
    CProgressDialog dialog(&project);
    QSignalSpy ended(&dialog, &QDialog::finished);
    QTest::keyClick(&dialog, Qt::Key_Escape);  // as Cancel: only asks the run to stop
    EXPECT_TRUE(dialog.StopRequested());
    EXPECT_EQ(dialog.TimeLeft(), "");  // nothing known yet
    dialog.SetEstimate(2 * 3600.0);
    EXPECT_EQ(dialog.TimeLeft(), "About 2 hours left");
    for (const auto& [position, done, shown] : {std::tuple{30, 0, 30}, {0, 0, 30}, {50, 1, 50}}) {
        CAnalysisDoneEvent event(position, done);
        QCoreApplication::sendEvent(&dialog, &event);
        EXPECT_EQ(std::pair(dialog.Position(), ended.count()), std::pair(shown, qsizetype{done}));
    }
    // Once the bar has moved the pace of the run counts, not the estimate.
    EXPECT_EQ(dialog.TimeLeft().toStdString().find("hour"), std::string::npos);
}

// The longest range a user can type: Process tells its steps and duration; No leaves the
// result sets as they were, Yes runs with the estimate as the time left, and Cancel keeps the
// best found so far.
TEST_F(AnalysisPagesTest, ALongRunIsAskedForFirstAndRunsUntilCancelled) {
    OpenSample(std::numeric_limits<int32_t>::max());
    Project().Primary()->ClearResults();
    Project().Primary()->AddResult().GN = 42.0;
    m_yes = false;
    CRefreshRecorder* recorder = AddRecorder();
    Click("process");
    ASSERT_EQ(m_runQuestions.size(), 1u);
    const std::string steps = GroupedCount(Project().m_range.GetStepCount(1));
    EXPECT_EQ(m_runQuestions[0].rfind("This run has " + steps + " steps and would take about ", 0),
              0u)
        << m_runQuestions[0];
    EXPECT_TRUE(m_runQuestions[0].ends_with(". Run it?")) << m_runQuestions[0];
    EXPECT_EQ(Frame()->findChild<CProgressDialog*>(), nullptr);
    ASSERT_EQ(Project().Primary()->m_results.size(), 1u);
    EXPECT_EQ(recorder->m_codes, (std::vector<int>{REFRESH_STORE, REFRESH_RESULTS}));

    m_yes = true;
    QString timeLeft;
    QTimer::singleShot(0, [&] {
        auto* dialog = Frame()->findChild<CProgressDialog*>();
        timeLeft = dialog->TimeLeft();
        // The bar would take weeks to move: give the worker a moment for its first lengths.
        QTest::qWait(300);
        QTest::mouseClick(dialog->findChild<QAbstractButton*>("cancel"), Qt::LeftButton);
    });
    Click("process");
    EXPECT_TRUE(timeLeft.startsWith("About ") && timeLeft.endsWith(" left"))
        << timeLeft.toStdString();
    EXPECT_EQ(Project().Primary()->m_results.size(), 10u);
    EXPECT_TRUE(Shown().startsWith("1 "));
}

TEST_F(AnalysisPagesTest, ProcessWithoutDataSetsStoresAndEndsAtOnce) {
    Run("&New");
    Show(PAGE_ANALYSIS);
    CRefreshRecorder* recorder = AddRecorder();
    Click("process");
    EXPECT_EQ(recorder->m_codes, (std::vector<int>{REFRESH_STORE, REFRESH_RESULTS}));
}

// A sweep of 20,000 lengths would run for minutes: the test ends only because Cancel stops it.
TEST_F(AnalysisPagesTest, CancelPressedTwiceEndsALongRun) {
    OpenSample(20000);
    bool stayed = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = Frame()->findChild<CProgressDialog*>();
        // The charts may repaint while the worker reads the project.
        ASSERT_TRUE(QTest::qWaitFor(
            [dialog] {
                Frame()->RedrawCharts();
                return dialog->Position() > 0;
            },
            30000));
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(dialog->findChild<QAbstractButton*>("cancel"), Qt::LeftButton);
        }
        stayed = dialog->isVisible() && dialog->StopRequested();
    });
    Click("process");
    EXPECT_TRUE(stayed);
    EXPECT_TRUE(Shown().startsWith("1 "));  // the best set found before the cancel
}

TEST_F(AnalysisPagesTest, ResultSetsOfAProcessSurviveSavingAndReopening) {
    OpenSample(22);
    Click("process");
    EXPECT_TRUE(m_runQuestions.empty());  // a short run starts at once
    std::vector<QString> shown{Shown()};
    for (int i = 1; i < 3; ++i) {
        Step("next");
        shown.push_back(Shown());
    }
    EXPECT_TRUE(shown[2].startsWith("3 ") && shown[0] != shown[1]) << shown[2].toStdString();
    Run("Save &As...", (Scratch() / "run.xml").string());
    Run("&Open...", (Scratch() / "run.xml").string());  // the box keeps its number: set 3
    for (size_t i = 3; i-- > 0;) {
        EXPECT_EQ(Shown(), shown[i]) << i;
        Step("previous");
    }
}

// Process records the landscape the program keeps: the button opens its heat map, which follows
// the applied result set and goes with the project.
TEST_F(AnalysisPagesTest, ProcessRecordsTheLandscapeShownBesideTheMainWindow) {
    OpenSample(22);
    auto* button = m_page->findChild<QAbstractButton*>("landscape");
    EXPECT_FALSE(button->isEnabled());
    Click("process");
    const CLandscape& landscape = App().Landscape();
    ASSERT_TRUE(landscape.Recorded());
    ASSERT_TRUE(button->isEnabled());
    const CStrategyResult& best = Project().Primary()->m_results[0];
    EXPECT_EQ(landscape.At(best.ML, best.BL), best.GN);
    EXPECT_TRUE(Frame()->ResultSets()->findChild<QGroupBox*>()->toolTip().contains("Plateau: "));

    Click("landscape");
    QPointer<CLandscapeDialog> dialog = Frame()->findChild<CLandscapeDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    const QImage first = dialog->Picture();
    EXPECT_EQ(first.size(), QSize(CLandscapeDialog::kWidth, CLandscapeDialog::kHeight));
    Step("next");  // the circle moves to set 2
    EXPECT_NE(dialog->Picture(), first);

    Run("&New");
    EXPECT_TRUE(dialog == nullptr || !dialog->isVisible());
    EXPECT_FALSE(landscape.Recorded());
    EXPECT_FALSE(button->isEnabled());
}

// The walk-forward dialog refuses a length it cannot read without starting, shows every step of
// a run and the stitched figures, and a Cancel stops a run before the dialog can close.
TEST_F(AnalysisPagesTest, WalkForwardRunsOnTheWorkerAndShowsItsSteps) {
    OpenSample(22);
    QString refused;
    CWalkForward result;
    int rows = -1;
    QString lastGain;
    QString figures;
    QString stopped;
    bool stayedWhileRunning = false;
    bool chartShown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = Frame()->findChild<CWalkForwardDialog*>();
        auto edit = [dialog](const char* name) { return dialog->findChild<QLineEdit*>(name); };
        auto click = [dialog](const char* name) {
            QTest::mouseClick(dialog->findChild<QAbstractButton*>(name), Qt::LeftButton);
        };
        auto* message = dialog->findChild<QLabel*>("message");
        edit("test")->setText("0y");
        click("run");
        refused = message->text();
        EXPECT_FALSE(dialog->Running());

        edit("test")->setText("1y");
        click("run");
        EXPECT_TRUE(QTest::qWaitFor([dialog] { return !dialog->Running(); }, 30000));
        result = dialog->Result();
        auto* table = dialog->findChild<QTableWidget*>("steps");
        rows = table->rowCount();
        lastGain = table->item(rows - 1, 6)->text();
        figures = dialog->findChild<QLabel*>("figures")->text();
        chartShown = !dialog->findChild<QLabel*>("chart")->pixmap().isNull();

        click("run");
        click("cancel");  // while running: only stops the run
        stayedWhileRunning = dialog->isVisible();
        EXPECT_TRUE(QTest::qWaitFor([dialog] { return !dialog->Running(); }, 30000));
        stopped = message->text();
        click("cancel");  // now Close
    });
    Click("walkForward");
    EXPECT_FALSE(refused.isEmpty());
    ASSERT_GT(result.steps.size(), 1u);
    EXPECT_EQ(rows, static_cast<int>(result.steps.size()));
    EXPECT_EQ(lastGain, PercentText(result.steps.back().outOfSampleGain));
    EXPECT_TRUE(figures.contains("gain " + PercentText(result.figures.gain) + " %"))
        << figures.toStdString();
    EXPECT_TRUE(chartShown);
    EXPECT_TRUE(stayedWhileRunning);
    EXPECT_FALSE(stopped.isEmpty());
    EXPECT_EQ(Frame()->findChild<CWalkForwardDialog*>(), nullptr);
}

TEST_F(AnalysisPagesTest, PotentialGainsAreCutNonFiniteOnesEmptyAndReadOnlyOnCurrent) {
    Show(PAGE_INFO);
    CDataSet* zero = Project().AddDataSet("Z");
    AppendDaily(*zero, m_start, {0, 2, 1, 3});  // starts at 0: no finite potential gains
    SetCurrentDataSet(Project(), zero);
    Frame()->Refresh(REFRESH_CURRENT);
    EXPECT_EQ(Figures(), "   ");
    zero->m_gains = {25.678, -14.333, 12.37, -0.04};
    Frame()->Refresh(REFRESH_CURRENT);
    EXPECT_EQ(Figures(), "25.6 -14.3 12.3 0.0");
    Run("&New");
    EXPECT_EQ(Figures(), "0.0 0.0 0.0 0.0");
}

TEST_F(AnalysisPagesTest, ResultSetStepsAreClampedToTheResultSets) {
    for (int32_t ml : {5, 6, 7}) {
        Project().Primary()->AddResult().ML = ml;
    }
    const std::tuple<const char*, const char*, int32_t> rows[] = {
        {"next", "2", 6},     {"next", "3", 7},     {"next", "3", 7},
        {"previous", "2", 6}, {"previous", "1", 5}, {"previous", "1", 5}};
    for (const auto& [button, number, ml] : rows) {
        Step(button);
        EXPECT_EQ(Box("number"), number) << button;
        EXPECT_EQ(Primary().ML, ml) << button;
    }
    // Without result sets nothing is applied; the simulation with ratios 0 never enters.
    Project().Primary()->ClearResults();
    Primary().GN = 99.0;
    Step("next");
    EXPECT_EQ(Box("number") + " " + Box("gainPerYear"), "0 0.0");
    EXPECT_EQ(Primary().ML, 5);
}

}  // namespace
