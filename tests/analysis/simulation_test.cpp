#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "analysis/status_sink.h"
#include "model/project.h"
#include "support/series_builder.h"

namespace {

struct RecordingStatus : CStatusSink {
    void SetStatus(const std::string& d, const std::string& n, double v, int32_t l) override {
        date = d;
        name = n;
        value = v;
        level = l;
        ++calls;
    }
    std::string date, name;
    double value = 0;
    int32_t level = -1;
    int calls = 0;
};

class SimulationTest : public ::testing::Test {
  protected:
    // A primary series on consecutive days from serial 730500 (1 January 2000), window over it.
    CDataSet* Primary(const std::vector<double>& values) {
        CDataSet* ds = project.AddDataSet("Index");
        AppendDaily(*ds, 730500, values);
        SetWindow(project, 730500, 730500 + static_cast<int32_t>(values.size()) - 1);
        return ds;
    }
    // Gives the primary a hand-made signal in slot 2 (Simulate would overwrite it).
    static void SetSignal(CDataSet& ds, const std::vector<double>& signal) {
        // Blend with ratio 1 against a source whose slot 1 holds the signal.
        CProject scratch;
        CDataSet* src = scratch.AddDataSet("signal");
        int32_t serial = ds.Points().front().m_serial;
        for (double v : signal) {
            CDataPoint p = PointAt(serial++);
            p.SetValue(Diff, v);
            src->AppendPoint(p);
        }
        ds.ZeroSlot(SignalBase);
        ds.Blend(*src, 1.0);
    }

    CProject project;
};

TEST_F(SimulationTest, SingleSetRatioOneLengthOneFollowsTheDailyChange) {
    CDataSet* p = Primary({100, 101, 103, 102, 102, 104});
    p->m_params.RC = 1.0;
    p->m_params.ML = 1;
    p->m_params.BL = 0;
    project.Simulate();
    EXPECT_EQ(SlotValues(*p, Smooth), SlotValues(*p, Raw));
    EXPECT_EQ(SlotValues(*p, Signal), SlotValues(*p, Diff));
    // Enters on a day the series rose, stays in through a flat day, leaves on a fall.
    EXPECT_EQ(Flags(*p), (std::vector<int>{0, 1, 1, 0, 0, 1}));
}

TEST_F(SimulationTest, DefaultRatioNeverEnters) {
    CDataSet* p = Primary({100, 110, 120, 90});
    project.Simulate();
    for (double v : SlotValues(*p, Signal)) {
        EXPECT_EQ(v, 0.0);
    }
    EXPECT_EQ(p->m_params.OUT, p->m_params.IN);
    EXPECT_EQ(p->m_params.GN, 0.0);
}

TEST_F(SimulationTest, FlagsFollowTheHysteresisBand) {
    CDataSet* p = Primary({1, 1, 1, 1, 1});
    SetSignal(*p, {0.7, -0.2, -0.7, 0.1, std::nan("")});
    p->SetFlags(60);
    EXPECT_EQ(Flags(*p), (std::vector<int>{1, 1, 0, 0, 0}));
    SetSignal(*p, {0.7, 0.6, std::nan(""), 0.6, 0.61});
    p->SetFlags(60);
    EXPECT_EQ(Flags(*p), (std::vector<int>{1, 1, 0, 0, 1}));
}

TEST_F(SimulationTest, FlagsOnlyInsideTheWindow) {
    CDataSet* p = Primary({1, 1, 1, 1});
    SetSignal(*p, {0.9, 0.9, 0.9, 0.9});
    SetWindow(project, 730501, 730502);
    p->SetFlags(10);
    EXPECT_EQ(Flags(*p), (std::vector<int>{0, 1, 1, 0}));
}

TEST_F(SimulationTest, InvestChargesEachEntryAndExit) {
    CDataSet* p = Primary({100, 105, 110, 120});
    SetSignal(*p, {0.9, 0.9, -0.9, -0.9});
    p->SetFlags(50);
    double out = 0;
    double gain = p->Invest(1000, out);
    EXPECT_DOUBLE_EQ(p->Points()[0].GetValue(Net), 995);
    EXPECT_DOUBLE_EQ(p->Points()[1].GetValue(Net), 995 * 105.0 / 100);
    EXPECT_DOUBLE_EQ(p->Points()[2].GetValue(Gross), 1100);
    EXPECT_DOUBLE_EQ(out, 1089.5);
    EXPECT_DOUBLE_EQ(gain, 8.95);
    EXPECT_DOUBLE_EQ(p->Points()[3].GetValue(Net), 1089.5);
}

TEST_F(SimulationTest, OpenPositionIsValuedWithoutAnExitCharge) {
    CDataSet* p = Primary({100, 105, 110});
    SetSignal(*p, {0.9, 0.9, 0.9});
    p->SetFlags(50);
    double out = 0;
    p->Invest(1000, out);
    EXPECT_DOUBLE_EQ(out, 995 * 110.0 / 100);
}

TEST_F(SimulationTest, EmptyWindowKeepsTheOutput) {
    CDataSet* p = Primary({100, 105});
    SetWindow(project, 1, 2);
    double out = 1234;
    EXPECT_DOUBLE_EQ(p->Invest(1000, out), 23.4);
    EXPECT_EQ(out, 1234);
}

TEST_F(SimulationTest, ZeroInputGivesANonFiniteGainWithoutHarm) {
    CDataSet* p = Primary({100, 105});
    p->m_params.IN = 0;
    project.Simulate();
    EXPECT_FALSE(std::isfinite(p->m_params.GN));
}

TEST_F(SimulationTest, FlatSeriesHasNoSignalAndStaysOut) {
    CDataSet* p = Primary({5, 5, 5, 5});
    p->m_params.RC = 1.0;
    p->m_params.BL = 0;
    project.Simulate();
    EXPECT_TRUE(std::isnan(p->Points()[1].GetValue(Signal)));
    EXPECT_EQ(Flags(*p), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(p->m_params.GN, 0.0);
}

TEST_F(SimulationTest, BlendPairsPointsByDate) {
    // Primary on days 0..5; the source has days 1, 3, 4 (5 is missing at the end).
    CDataSet* p = Primary({1, 1, 1, 1, 1, 1});
    CDataSet* s = project.AddDataSet("S");
    for (int32_t day : {1, 3, 4}) {
        CDataPoint q = PointAt(730500 + day);
        q.SetValue(Diff, 10.0 * day);
        s->AppendPoint(q);
    }
    p->ZeroSlot(SignalBase);
    p->Blend(*s, 0.5);
    // Day 0 precedes the source (0); day 2 repeats day 1; day 5 follows the last used point
    // and keeps 0.
    EXPECT_EQ(SlotValues(*p, Signal), (std::vector<double>{0, 5, 5, 15, 20, 0}));
}

TEST_F(SimulationTest, BlendUsesTheSourcePointAtHandForTheLastPrimaryPoint) {
    CDataSet* p = Primary({1, 1});
    CDataSet* s = project.AddDataSet("S");
    CDataPoint q = PointAt(730500 + 7);
    q.SetValue(Diff, 4.0);
    s->AppendPoint(q);
    p->ZeroSlot(SignalBase);
    p->Blend(*s, 1.0);
    EXPECT_EQ(SlotValues(*p, Signal), (std::vector<double>{0, 4}));
}

TEST_F(SimulationTest, BlendWeighsEarlierSetsByOneMinusTheRatio) {
    CDataSet* p = Primary({100, 102, 101, 104, 103});
    CDataSet* s = project.AddDataSet("S");
    AppendDaily(*s, 730500, {50, 49, 51, 52, 50});
    p->m_params.ML = 1;
    p->m_params.RC = 0.8;
    s->m_params.RC = -0.25;
    project.Simulate();
    for (size_t i = 0; i < 5; ++i) {
        double d1 = p->Points()[i].GetValue(Diff);
        double d2 = s->Points()[i].GetValue(Diff);
        double expected = (0.8 * d1) * 0.75 + d2 * -0.25;
        EXPECT_DOUBLE_EQ(p->Points()[i].GetValue(Signal), expected);
    }
}

TEST_F(SimulationTest, SecondSetEndingEarlyZeroesTheRestOfTheSignal) {
    CDataSet* p = Primary({100, 102, 101, 104, 103, 107});
    CDataSet* s = project.AddDataSet("S");
    AppendDaily(*s, 730500, {50, 49, 51});
    p->m_params.ML = 1;
    p->m_params.RC = 1.0;
    s->m_params.RC = 0.5;
    project.Simulate();
    for (size_t i = 3; i < 6; ++i) {
        EXPECT_EQ(p->Points()[i].GetValue(Signal), 0.0);
    }
}

TEST_F(SimulationTest, ReportStatusHandsOverTheLastPointInTheWindow) {
    RecordingStatus status;
    project.SetStatusSink(&status);
    CDataSet* p = Primary({100, 101, 103, 102});
    p->m_params.RC = 1.0;
    p->m_params.ML = 1;
    p->m_params.BL = 0;
    SetWindow(project, 730500, 730502);
    project.Simulate();
    EXPECT_EQ(status.calls, 1);
    EXPECT_EQ(status.date, "1/3/2000");
    EXPECT_EQ(status.name, "Index");
    EXPECT_EQ(status.level, 1);
    EXPECT_DOUBLE_EQ(status.value, p->Points()[2].GetValue(Net));

    SetWindow(project, 1, 5);
    project.Simulate();
    EXPECT_EQ(status.calls, 1);
}

TEST_F(SimulationTest, SimulateScalesTheHistoryLimits) {
    CDataSet* p = Primary({100, 120, 140, 130});
    p->m_params.RC = 1.0;
    p->m_params.ML = 1;
    p->m_params.BL = 0;
    p->m_params.TT = 0;
    project.Simulate();
    // Enters at 120 on the first rise, so the best gross value is 1000 x 140 / 120.
    EXPECT_DOUBLE_EQ(project.m_historyLimits.end.GetValue(Gross), 1000 * 140.0 / 120);
    EXPECT_GT(project.m_historyLimits.displayTop, 1000 * 140.0 / 120);
}

TEST_F(SimulationTest, SelectResultSetClampsAndApplies) {
    CDataSet* p = Primary({100, 101, 103, 102});
    CDataSet* s = project.AddDataSet("S");
    for (int i = 1; i <= 3; ++i) {
        CStrategyResult& r = p->AddResult();
        r.ML = i;
        r.RC = 0.1 * i;
        r.BL = 10 * i;
    }
    CStrategyResult& only = s->AddResult();
    only.RC = -0.5;
    s->m_params.RC = 0.3;

    int32_t n = 0;
    project.SelectResultSet(n);
    EXPECT_EQ(n, 1);
    EXPECT_EQ(p->m_params.ML, 1);
    EXPECT_EQ(s->m_params.RC, -0.5);

    s->m_params.RC = 0.3;
    n = 5;
    project.SelectResultSet(n);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(p->m_params.BL, 30);
    EXPECT_EQ(s->m_params.RC, 0.3);  // fewer records: keeps its own
}

TEST_F(SimulationTest, SelectResultSetWithoutResultsSimulatesAsIs) {
    CDataSet* p = Primary({100, 101, 103, 102});
    p->m_params.RC = 1.0;
    p->m_params.ML = 1;
    p->m_params.BL = 0;
    int32_t n = -2;
    project.SelectResultSet(n);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(Flags(*p), (std::vector<int>{0, 1, 1, 0}));
}

}  // namespace
