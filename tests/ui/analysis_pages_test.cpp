// The analysis views: the Parameters, Analysis and Info pages, the result sets box and the
// progress dialog of an optimisation run.

#include <cmath>
#include <limits>
#include <string>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
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
    // A figure as the page gives it whole: its text, or its tooltip where the text is shortened.
    QString Figure(const char* name) const {
        const QLabel* label = m_page->findChild<QLabel*>(name);
        return label->toolTip().isEmpty() ? label->text() : label->toolTip();
    }
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

    const int32_t m_start = MakePoint(1, 1, 2001).m_serial;
};

TEST_F(AnalysisPagesTest, UpdateStoresCorrectedValuesAndTheRatioGoesToTheCurrentDataSet) {
    const char* const rows[][3] = {{"smoothing", "0", "1"},  {"flags", "150", "100"},
                                   {"flags", "-5", "0"},     {"ratio", "-3", "-1"},
                                   {"sweepLow", "50", "50"}, {"sweepHigh", "30", "50"}};
    for (const auto& [edit, typed, shown] : rows) {
        Type(edit, typed);
        Click("update");
        EXPECT_EQ(Text(edit), shown) << edit << " " << typed;
    }
    EXPECT_EQ(std::tuple(Primary().ML, Primary().BL, Primary().RC, Project().m_range.MU),
              std::tuple(1, 0, 0.0, 50));  // the ratio is the current data set's
    EXPECT_EQ(Project().Current()->m_params.RC, -1.0);
}

TEST_F(AnalysisPagesTest, FlagStepFlagsSpinAndResolutionSlider) {
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
        {51.3, "25.6"}, {-28.666, "-14.3"}, {INFINITY, ""}};
    for (const auto& [gain, shown] : rows) {
        Primary().GN = gain;
        Frame()->Refresh(REFRESH_LOAD);
        EXPECT_EQ(Label("gainPerYear") + "|" + Box("gainPerYear"), QString(shown) + "|" + shown);
    }
    EXPECT_EQ(Label("gain"), "");  // an input of 0

    // A figure too wide for its edit shows short, never its tail, with the whole in the tooltip.
    Primary() = {.IN = 1000.0, .GN = 1968953326.5 * 730.0 / 365.25};
    Frame()->Refresh(REFRESH_LOAD);
    const QLineEdit* box = Frame()->ResultSets()->findChild<QLineEdit*>("gainPerYear");
    EXPECT_TRUE(box->toolTip().endsWith(": 1968953326.5")) << box->toolTip().toStdString();
    EXPECT_NEAR(box->text().toDouble(), 1968953326.5, 1968953326.5 * 0.1)
        << box->text().toStdString();
    // So does an integer field, which reads back whole while its short text stands.
    Project().m_range.MU = std::numeric_limits<int32_t>::max();
    Frame()->Refresh(REFRESH_LOAD);
    Show(PAGE_PARAMETERS);
    EXPECT_NEAR(Text("sweepHigh").toDouble(), 2147483647.0, 2147483647.0 * 0.1)
        << Text("sweepHigh").toStdString();
    Frame()->Refresh(REFRESH_STORE);
    EXPECT_EQ(Project().m_range.MU, std::numeric_limits<int32_t>::max());

    // Gains are cut; risks go away from zero, so none is shown smaller than it was.
    const std::tuple<double, const char*, const char*> figures[] = {
        {19.88, "19.8", "19.9"}, {-8.43, "-8.4", "-8.5"}, {10.0, "10.0", "10.0"},
        {0.01, "0.0", "0.1"},    {-0.0, "0.0", "0.0"},    {NAN, "", ""}};
    for (const auto& [value, cut, risk] : figures) {
        EXPECT_EQ(PercentText(value) + "|" + RiskPercentText(value), QString(cut) + "|" + risk);
    }
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
        {"compounded", "4.8 %"},       {"buyAndHold", "5.0 %"}, {"trades", "2 (last open)"},
        {"inMarket", "75.0 %"},        {"bestTrade", "11.1 %"}, {"worstTrade", "-1.0 %"},
        {"drawdown", "10.0 %" + dates}};
    for (const auto& [name, text] : shown) {
        EXPECT_EQ(Figure(name), text) << name;
    }
    const QString tip = Frame()->ResultSets()->findChild<QGroupBox*>()->toolTip();
    EXPECT_TRUE(tip.startsWith("Gain: 10.0 %\nGain/Year: 5.0 %\n")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("Max. drawdown: 10.0 %" + dates)) << tip.toStdString();
    Run("&New");
    EXPECT_EQ(Label("trades") + Label("bestTrade"), "");
    EXPECT_EQ(Frame()->ResultSets()->findChild<QGroupBox*>()->toolTip(), "");
}

// The longest range a user can type: Process tells its steps and duration; No leaves the
// result sets and the parameters as they were, Yes runs with the estimate as the time left, Cancel
// (twice) only asks the run to stop, and the best found so far is kept. The test ends only because
// it does.
TEST_F(AnalysisPagesTest, ALongRunIsAskedForFirstAndRunsUntilCancelled) {
    OpenSample(std::numeric_limits<int32_t>::max());
    Project().Primary()->ClearResults();
    Project().Primary()->AddResult().GN = 42.0;
    m_yes = false;
    CRefreshRecorder* recorder = AddRecorder();
    Click("process");
    ASSERT_EQ(m_runQuestions.size(), 1u);
    const std::string steps = GroupedCount(Project().m_range.GetStepCount(1));
    EXPECT_TRUE(m_runQuestions[0].starts_with("This run has " + steps + " steps and would take "))
        << m_runQuestions[0];
    EXPECT_EQ(Project().Primary()->m_results.size(), 1u);
    // No: nothing is applied again over the parameters on the pages.
    EXPECT_EQ(recorder->m_codes, (std::vector<int>{REFRESH_STORE}));

    m_yes = true;
    QString timeLeft;
    bool stayed = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = Frame()->findChild<CProgressDialog*>();
        timeLeft = dialog->TimeLeft();
        // The bar would take weeks to move: give the worker a moment for its first lengths.
        QTest::qWait(300);
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(dialog->findChild<QAbstractButton*>("cancel"), Qt::LeftButton);
        }
        stayed = dialog->isVisible() && dialog->StopRequested();
    });
    Click("process");
    EXPECT_TRUE(timeLeft.startsWith("About ") && timeLeft.endsWith(" left"))
        << timeLeft.toStdString();
    EXPECT_TRUE(stayed);
    EXPECT_EQ(Project().Primary()->m_results.size(), 10u);
    EXPECT_TRUE(Shown().startsWith("1 "));
}

TEST_F(AnalysisPagesTest, ResultSetsOfAProcessSurviveSavingAndReopening) {
    OpenSample(22);
    Click("process");
    EXPECT_TRUE(m_runQuestions.empty());  // a short run starts at once
    const QString first = Shown();
    Step("next");
    const QString second = Shown();
    EXPECT_TRUE(second.startsWith("2 ") && first != second) << second.toStdString();
    Run("Save &As...", (Scratch() / "run.xml").string());
    Run("&Open...", (Scratch() / "run.xml").string());  // the box keeps its number: set 2
    EXPECT_EQ(Shown(), second);
    Step("previous");
    EXPECT_EQ(Shown(), first);
}

// Process records the landscape the program keeps: the button opens its heat map, which follows
// the applied result set and goes with the project.
TEST_F(AnalysisPagesTest, ProcessRecordsTheLandscapeShownBesideTheMainWindow) {
    OpenSample(22);
    auto* button = m_page->findChild<QAbstractButton*>("landscape");
    EXPECT_FALSE(button->isEnabled());
    EXPECT_EQ(button->toolTip(), "Process records the landscape");  // says why it is disabled
    Click("process");
    const CLandscape& landscape = App().Commands().Landscape();
    ASSERT_TRUE(landscape.Recorded());
    ASSERT_TRUE(button->isEnabled());
    EXPECT_EQ(button->toolTip(), "Best gain over smoothing length and flag level");
    const CStrategyResult& best = Project().Primary()->m_results[0];
    EXPECT_EQ(landscape.At(best.ML, best.BL), best.GN);

    Click("landscape");
    QPointer<CLandscapeDialog> dialog = Frame()->findChild<CLandscapeDialog*>();
    ASSERT_TRUE(dialog != nullptr && dialog->isVisible());
    const QImage first = dialog->Picture();
    Step("next");  // the circle moves to set 2
    EXPECT_NE(dialog->Picture(), first);
    // The slice at the applied ratio by default; every ratio's best as an option; the cell under
    // the mouse is read out.
    const QImage slice = dialog->Picture();
    dialog->findChild<QCheckBox*>("bestOverRatios")->setChecked(true);
    EXPECT_NE(dialog->Picture(), slice);
    const QPoint middle(CLandscapeDialog::kWidth / 2, CLandscapeDialog::kHeight / 2);
    EXPECT_TRUE(dialog->ReadoutAt(middle).startsWith("Smoothing "))
        << dialog->ReadoutAt(middle).toStdString();
    EXPECT_TRUE(dialog->ReadoutAt(QPoint(1, 1)).isEmpty());

    Run("&New");
    EXPECT_TRUE(dialog == nullptr || !dialog->isVisible());
    EXPECT_FALSE(landscape.Recorded());
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(button->toolTip().isEmpty());
}

// The walk-forward dialog refuses a length it cannot read without starting, shows every step of
// a run and the stitched figures, and a Cancel stops a run before the dialog can close.
TEST_F(AnalysisPagesTest, WalkForwardRunsOnTheWorkerAndShowsItsSteps) {
    OpenSample(22);
    bool reached = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = Frame()->findChild<CWalkForwardDialog*>();
        auto click = [dialog](const char* name) {
            QTest::mouseClick(dialog->findChild<QAbstractButton*>(name), Qt::LeftButton);
        };
        auto* message = dialog->findChild<QLabel*>("message");
        auto* length = dialog->findChild<QLineEdit*>("test");
        length->setText("0y");
        click("run");
        EXPECT_FALSE(message->text().isEmpty() || dialog->Running());

        length->setText("1y");
        click("run");
        EXPECT_TRUE(QTest::qWaitFor([dialog] { return !dialog->Running(); }, 30000));
        const CWalkForward result = dialog->Result();
        auto* table = dialog->findChild<QTableWidget*>("steps");
        reached = result.steps.size() > 1 &&
                  table->rowCount() == static_cast<int>(result.steps.size()) &&
                  table->item(table->rowCount() - 1, 6)->text() ==
                      PercentText(result.steps.back().outOfSampleGain);
        click("run");
        click("cancel");  // while running: only stops the run
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(QTest::qWaitFor([dialog] { return !dialog->Running(); }, 30000));
        EXPECT_FALSE(message->text().isEmpty());
        click("cancel");  // now Close
    });
    Click("walkForward");
    EXPECT_TRUE(reached);  // one row a step
    EXPECT_EQ(Frame()->findChild<CWalkForwardDialog*>(), nullptr);
}

// A walk-forward that would run long is asked about first, as Process is, and No starts
// nothing; a run cancelled part way shows the steps it finished, with their figures.
TEST_F(AnalysisPagesTest, WalkForwardAsksBeforeALongRunAndKeepsFinishedStepsOnCancel) {
    OpenSample(std::numeric_limits<int32_t>::max());
    m_yes = false;
    bool started = true;
    QString declined;
    QTimer::singleShot(0, [&] {
        auto* dialog = Frame()->findChild<CWalkForwardDialog*>();
        QTest::mouseClick(dialog->findChild<QAbstractButton*>("run"), Qt::LeftButton);
        started = dialog->Running();
        declined = dialog->findChild<QLabel*>("message")->text();
        dialog->reject();
    });
    Click("walkForward");
    ASSERT_EQ(m_runQuestions.size(), 1u);
    EXPECT_TRUE(m_runQuestions[0].starts_with("This run has ")) << m_runQuestions[0];
    EXPECT_FALSE(started);
    EXPECT_TRUE(declined.startsWith("Not run")) << declined.toStdString();

    OpenSample(22);
    size_t finished = 0;
    int rows = -1;
    QString message;
    QString figures;
    QTimer::singleShot(0, [&] {
        auto* dialog = Frame()->findChild<CWalkForwardDialog*>();
        dialog->findChild<QLineEdit*>("test")->setText("1m");  // about 180 steps
        auto click = [dialog](const char* name) {
            QTest::mouseClick(dialog->findChild<QAbstractButton*>(name), Qt::LeftButton);
        };
        click("run");
        auto* bar = dialog->findChild<QProgressBar*>();
        EXPECT_TRUE(QTest::qWaitFor([bar] { return bar->value() >= 5; }, 60000));
        click("cancel");
        EXPECT_TRUE(QTest::qWaitFor([dialog] { return !dialog->Running(); }, 60000));
        finished = dialog->Result().steps.size();
        rows = dialog->findChild<QTableWidget*>("steps")->rowCount();
        message = dialog->findChild<QLabel*>("message")->text();
        figures = dialog->findChild<QLabel*>("figures")->text();
        click("cancel");  // Close
    });
    Click("walkForward");
    EXPECT_EQ(m_runQuestions.size(), 1u);  // a short run starts at once
    EXPECT_GT(finished, 0u);
    EXPECT_EQ(rows, static_cast<int>(finished));
    EXPECT_TRUE(message.startsWith(
        QStringLiteral("The walk-forward run was stopped after %1 of ").arg(finished)))
        << message.toStdString();
    EXPECT_TRUE(figures.startsWith("Out of sample, stitched: ")) << figures.toStdString();
}

// The heat map and the walk-forward chart hold as many pixels as the screen shows for them
// (run again with QT_SCALE_FACTOR=2), so they are not scaled up blurred.
TEST_F(AnalysisPagesTest, PicturesAreDrawnAtTheScreensPixelRatio) {
    const double ratio = Frame()->devicePixelRatioF();
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == "2") {
        ASSERT_EQ(ratio, 2.0);
    }
    auto sharp = [ratio](const QImage& picture, int width, int height) {
        return picture.devicePixelRatio() == ratio &&
               picture.width() == static_cast<int>(std::ceil(width * ratio)) &&
               picture.height() == static_cast<int>(std::ceil(height * ratio));
    };
    OpenSample(22);
    bool walkSharp = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = Frame()->findChild<CWalkForwardDialog*>();
        QTest::mouseClick(dialog->findChild<QAbstractButton*>("run"), Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([dialog] { return !dialog->Running(); }, 60000));
        walkSharp = sharp(dialog->findChild<QLabel*>("chart")->pixmap().toImage(), 760, 240);
        dialog->reject();
    });
    Click("walkForward");
    EXPECT_TRUE(walkSharp);

    Click("process");
    Click("landscape");
    auto* landscape = Frame()->findChild<CLandscapeDialog*>();
    ASSERT_NE(landscape, nullptr);
    EXPECT_TRUE(sharp(landscape->Picture(), CLandscapeDialog::kWidth, CLandscapeDialog::kHeight));
}

// Over a window under a year the report's and the box's gain per year are the window's own
// gain, as the figures give it, and their tooltips say so; over a year, the gain per year.
TEST_F(AnalysisPagesTest, AWindowUnderAYearShowsItsGainNotAnAnnualisedOne) {
    OpenSample(22);
    auto* report = m_page->findChild<QLabel*>("gainPerYear");
    auto* box = Frame()->ResultSets()->findChild<QLineEdit*>("gainPerYear");
    for (const auto& [endYear, underAYear] : {std::pair{"2010", true}, {"2012", false}}) {
        Show(PAGE_CONTROLS);
        for (const auto& [name, text] : {std::pair{"startMonth", "3"},
                                         {"startDay", "1"},
                                         {"startYear", "2009"},
                                         {"endMonth", "2"},
                                         {"endDay", "1"},
                                         {"endYear", endYear}}) {
            Type(name, text);
        }
        Click("apply");
        const CStrategyParams& params = Project().Primary()->m_params;
        const CLimits& window = Project().m_viewLimits;
        ASSERT_EQ(window.DayCount() < 365, underAYear) << window.DayCount();
        const double shown = underAYear ? params.GN : GainPerYear(params.GN, window);
        EXPECT_EQ(report->text(), PercentText(shown));
        EXPECT_EQ(box->text(), PercentText(shown));
        EXPECT_EQ(ComputeFigures(*Project().Primary(), window).annualised, !underAYear);
        for (const QWidget* field : {static_cast<QWidget*>(report), static_cast<QWidget*>(box)}) {
            EXPECT_EQ(field->toolTip().contains("not annualised"), underAYear)
                << field->toolTip().toStdString();
        }
    }
}

// At the smallest window the Analysis page shows its figures whole, without scrolling.
TEST_F(AnalysisPagesTest, TheFiguresShowWholeAtTheSmallestWindow) {
    OpenSample(22);
    Frame()->resize(Frame()->minimumSize());
    QApplication::processEvents();
    auto* group = m_page->findChild<QGroupBox*>();
    ASSERT_NE(group, nullptr);
    for (const QLabel* label : m_page->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) {
            continue;
        }
        // What the page's frame clips away (a cut or scrolled-off label) is not shown.
        EXPECT_EQ(label->visibleRegion().boundingRect(), label->rect())
            << label->text().toStdString();
    }
    EXPECT_FALSE(m_page->findChild<QLabel*>("drawdown")->text().isEmpty());
    // A figure too wide for its place says so with an ellipsis and shows whole in its tooltip.
    const int32_t end = Project().m_viewLimits.end.m_serial;
    SetWindow(Project(), end - 200, end);
    Frame()->Refresh(REFRESH_LOAD);
    const QLabel* compounded = m_page->findChild<QLabel*>("compounded");
    EXPECT_TRUE(compounded->text().endsWith(" days")) << compounded->text().toStdString();
    const QLabel* trades = m_page->findChild<QLabel*>("trades");
    EXPECT_TRUE(trades->toolTip().isEmpty() ? !trades->text().contains(QChar(0x2026))
                                            : trades->text().endsWith(QChar(0x2026)));
}

TEST_F(AnalysisPagesTest, ResultSetStepsAreClampedToTheResultSets) {
    for (int32_t ml : {5, 6}) {
        Project().Primary()->AddResult().ML = ml;
    }
    const auto shown = [] { return Box("number") + " " + QString::number(Primary().ML); };
    Step("next");
    Step("next");
    EXPECT_EQ(shown(), "2 6");
    Step("previous");
    Step("previous");
    EXPECT_EQ(shown(), "1 5");
    // Without result sets nothing is applied; the simulation with ratios 0 never enters.
    Project().Primary()->ClearResults();
    Primary().GN = 99.0;
    Step("next");
    EXPECT_EQ(Box("number") + " " + Box("gainPerYear"), "0 0.0");
    EXPECT_EQ(Primary().ML, 5);
}

}  // namespace
