#include "app/walk_forward.h"

#include <gtest/gtest.h>

#include <atomic>

#include "analysis/simulation.h"
#include "charts/project_view.h"
#include "model/project.h"
#include "storage/project_io.h"

namespace {

void LoadSp500(CProject& project) {
    ASSERT_TRUE(ReadProjectFile(project, QUILLMARK_SOURCE_DIR "/Project Files/SP500.xml"));
    SetCurrentDataSet(project, project.Current());
}

CPeriod Period(const std::string& text) {
    CPeriod period;
    EXPECT_TRUE(ParsePeriod(text, period)) << text;
    return period;
}

CDataPoint Date(int32_t day, int32_t month, int32_t year) {
    CDataPoint date;
    date.SetDate(day, month, year);
    return date;
}

TEST(WalkForwardTest, ReadsLengthsAndRefusesTheRest) {
    CPeriod p = Period("250d");
    EXPECT_EQ(p.count, 250);
    EXPECT_EQ(p.unit, CPeriod::Days);
    EXPECT_EQ(Period("18M").unit, CPeriod::Months);
    EXPECT_EQ(Period("5y").count, 5);
    for (const char* bad : {"", "y", "0y", "-1y", "5", "5w", "1.5y", "y5", "5yy", "99999999999d"}) {
        CPeriod refused;
        EXPECT_FALSE(ParsePeriod(bad, refused)) << bad;
    }
}

TEST(WalkForwardTest, MonthsKeepTheDayOrTheMonthsLastDay) {
    const CDataPoint jan31 = Date(31, 1, 2004);
    EXPECT_EQ(AddPeriod(jan31, Period("1m"), 1).FormatDate(), "2/29/2004");
    EXPECT_EQ(AddPeriod(jan31, Period("1m"), 13).FormatDate(), "2/28/2005");
    EXPECT_EQ(AddPeriod(jan31, Period("1y"), 3).FormatDate(), "1/31/2007");
    EXPECT_EQ(AddPeriod(jan31, Period("18m"), 1).FormatDate(), "7/31/2005");
    EXPECT_EQ(AddPeriod(jan31, Period("30d"), 2).m_serial, jan31.m_serial + 60);
}

// Each step's out-of-sample gain is what a plain simulation of the test window with the chosen
// parameters gives, on a project loaded afresh; the windows tile the span without a gap.
TEST(WalkForwardTest, TestGainsAreThoseOfAPlainSimulation) {
    CProject project;
    LoadSp500(project);
    const std::atomic<bool> stop{false};
    const std::vector<CStrategyResult> results = project.Primary()->m_results;
    const CStrategyParams params = project.Primary()->m_params;
    CWalkForward run;
    ASSERT_TRUE(
        WalkForward(project, Period("5y"), Period("1y"), CWalkRank::Gain, 1, stop, nullptr, run));
    ASSERT_GE(run.steps.size(), 2u);
    // The project is only read.
    EXPECT_EQ(project.Primary()->m_results.size(), results.size());
    EXPECT_EQ(project.Primary()->m_params.ML, params.ML);
    EXPECT_EQ(project.Primary()->m_params.GN, params.GN);
    const CLimits& span = project.m_viewLimits;
    EXPECT_EQ(run.steps.front().train.start.m_serial, span.start.m_serial);
    EXPECT_LE(run.steps.back().test.end.m_serial, span.end.m_serial);
    EXPECT_GT(AddPeriod(run.steps.back().test.start, Period("1y"), 2).m_serial - 1,
              span.end.m_serial);  // no further full test window fits
    double chain = 1.0;
    for (size_t i = 0; i < run.steps.size(); ++i) {
        const CWalkStep& step = run.steps[i];
        EXPECT_EQ(step.test.start.m_serial, step.train.end.m_serial + 1);
        if (i > 0) {
            EXPECT_EQ(step.test.start.m_serial, run.steps[i - 1].test.end.m_serial + 1);
        }
        CProject fresh;
        LoadSp500(fresh);
        fresh.SetWindow(step.test);
        for (size_t k = 0; k < fresh.DataSets().size(); ++k) {
            CStrategyParams& chosen = fresh.DataSets()[k]->m_params;
            chosen.ML = step.ml;
            chosen.BL = step.bl;
            chosen.RC = step.ratios[k];
        }
        Simulate(fresh, nullptr);
        EXPECT_EQ(step.outOfSampleGain, fresh.Primary()->m_params.GN) << "step " << i;
        chain *= 1.0 + step.outOfSampleGain / 100.0;
    }
    EXPECT_DOUBLE_EQ(run.figures.gain, (chain - 1.0) * 100.0);
    ASSERT_FALSE(run.line.empty());
    const double in = project.Primary()->m_params.IN;
    EXPECT_NEAR(run.line.back().net, in * chain, 1e-9 * in * chain);
    EXPECT_NEAR(run.line.back().hold, in * (1.0 + run.figures.buyAndHold / 100.0), 1e-9 * in);
    EXPECT_GE(run.figures.maxDrawdown, 0.0);
}

// In-sample gains are those of the optimisation on the training window: the best there, so the
// robust choice never beats it in sample.
TEST(WalkForwardTest, RobustChoiceNeverBeatsTheBestInSample) {
    CProject project;
    LoadSp500(project);
    const std::atomic<bool> stop{false};
    CWalkForward best;
    CWalkForward robust;
    ASSERT_TRUE(
        WalkForward(project, Period("5y"), Period("2y"), CWalkRank::Gain, 2, stop, nullptr, best));
    ASSERT_TRUE(WalkForward(project, Period("5y"), Period("2y"), CWalkRank::Robust, 2, stop,
                            nullptr, robust));
    ASSERT_EQ(best.steps.size(), robust.steps.size());
    for (size_t i = 0; i < best.steps.size(); ++i) {
        EXPECT_LE(robust.steps[i].inSampleGain, best.steps[i].inSampleGain);
    }
}

TEST(WalkForwardTest, RefusesRunsThatCannotBeMade) {
    const std::atomic<bool> stop{false};
    CWalkForward run;
    CProject empty;
    EXPECT_FALSE(
        WalkForward(empty, Period("1y"), Period("1y"), CWalkRank::Gain, 1, stop, nullptr, run));

    CProject project;
    LoadSp500(project);
    const CStatus tooLong =
        WalkForward(project, Period("100y"), Period("1y"), CWalkRank::Gain, 1, stop, nullptr, run);
    EXPECT_NE(tooLong.Reason().find("too short"), std::string::npos) << tooLong.Reason();

    // A window that starts long before the first point: the first training window is empty.
    CLimits early = project.m_viewLimits;
    early.start.SetSerial(project.Primary()->Points().front().m_serial - 3000);
    project.SetWindow(early);
    const CStatus noPoints =
        WalkForward(project, Period("1y"), Period("1y"), CWalkRank::Gain, 1, stop, nullptr, run);
    EXPECT_NE(noPoints.Reason().find("holds no point"), std::string::npos) << noPoints.Reason();

    const std::atomic<bool> stopped{true};
    EXPECT_FALSE(WalkForward(project, Period("1y"), Period("1y"), CWalkRank::Gain, 1, stopped,
                             nullptr, run));
}

}  // namespace
