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

// Lengths are a positive whole count and d, m (either case) or y; months keep the day or take
// the month's last day.
TEST(WalkForwardTest, ReadsLengthsAndAddsThem) {
    EXPECT_EQ(Period("250d").count, 250);
    EXPECT_EQ(Period("18M").unit, CPeriod::Months);
    for (const char* bad : {"", "y", "0y", "-1y", "5", "5w", "1.5y", "y5", "5yy", "99999999999d"}) {
        CPeriod refused;
        EXPECT_FALSE(ParsePeriod(bad, refused)) << bad;
    }
    CDataPoint jan31;
    jan31.SetDate(31, 1, 2004);
    EXPECT_EQ(AddPeriod(jan31, Period("1m"), 1).FormatDate(), "2/29/2004");
    EXPECT_EQ(AddPeriod(jan31, Period("1m"), 13).FormatDate(), "2/28/2005");
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
    EXPECT_EQ(project.Primary()->m_params.GN, params.GN);
    const CLimits& span = project.m_viewLimits;
    EXPECT_EQ(run.steps.front().train.start.m_serial, span.start.m_serial);
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
