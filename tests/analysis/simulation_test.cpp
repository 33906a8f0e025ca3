#include "analysis/simulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <tuple>
#include <vector>

#include "analysis/series_filters.h"
#include "model/project.h"
#include "support/series_builder.h"

namespace {

// A data set of `owner` with the differences `diffs` on the days `days` after serial 730500
// (1 January 2000), or on consecutive days from it.
CDataSet* DiffSet(CProject& owner, const std::vector<double>& diffs,
                  const std::vector<int32_t>& days = {}) {
    CDataSet* s = owner.AddDataSet("S");
    for (size_t i = 0; i < diffs.size(); ++i) {
        CDataPoint q = PointAt(730500 + (days.empty() ? static_cast<int32_t>(i) : days[i]));
        q.SetValue(Diff, diffs[i]);
        s->AppendPoint(q);
    }
    return s;
}

// Gives a data set a hand-made signal, which Simulate would overwrite.
void SetSignal(CDataSet& ds, const std::vector<double>& signal) {
    CProject scratch;
    ds.ZeroSlot(SignalBase);
    Blend(ds, *DiffSet(scratch, signal), 1.0);
}

class SimulationTest : public ::testing::Test {
  protected:
    // A primary series on consecutive days from serial 730500, window over it.
    CDataSet* Primary(const std::vector<double>& values, const CStrategyParams& params = {}) {
        CDataSet* ds = project.AddDataSet("Index");
        ds->m_params = params;
        AppendDaily(*ds, 730500, values);
        SetWindow(project, 730500, 730500 + static_cast<int32_t>(values.size()) - 1);
        return ds;
    }

    CProject project;
};

TEST_F(SimulationTest, RatioOneAndLengthOneFollowTheDailyChange) {
    CDataSet* p = Primary({100, 101, 103, 102, 102, 104}, {.ML = 1, .RC = 1.0, .BL = 0});
    Simulate(project, nullptr);
    EXPECT_EQ(SlotValues(*p, Signal), SlotValues(*p, Diff));
    // Enters on a day the series rose, stays in through a flat day, leaves on a fall.
    EXPECT_EQ(Flags(*p), (std::vector<int>{0, 1, 1, 0, 0, 1}));
}

TEST_F(SimulationTest, FlagsFollowTheHysteresisBandInsideTheWindow) {
    CDataSet* p = Primary({1, 1, 1, 1, 1});
    SetSignal(*p, {0.7, -0.2, -0.7, 0.1, std::nan("")});
    SetFlags(*p, project.m_viewLimits, 60);
    EXPECT_EQ(Flags(*p), (std::vector<int>{1, 1, 0, 0, 0}));
    // NaN leaves the market; the band then needs the level again.
    SetSignal(*p, {0.7, 0.6, std::nan(""), 0.6, 0.61});
    SetFlags(*p, project.m_viewLimits, 60);
    EXPECT_EQ(Flags(*p), (std::vector<int>{1, 1, 0, 0, 1}));

    SetSignal(*p, {0.9, 0.9, 0.9, 0.9, 0.9});
    SetWindow(project, 730501, 730502);
    SetFlags(*p, project.m_viewLimits, 10);
    EXPECT_EQ(Flags(*p), (std::vector<int>{0, 1, 1, 0, 0}));
}

TEST_F(SimulationTest, InvestChargesEachEntryAndExit) {
    CDataSet* p = Primary({100, 105, 110, 120});
    SetSignal(*p, {0.9, 0.9, -0.9, -0.9});
    SetFlags(*p, project.m_viewLimits, 50);
    double out = 0;
    EXPECT_DOUBLE_EQ(Invest(*p, project.m_viewLimits, 1000, out), 8.95);
    EXPECT_DOUBLE_EQ(out, 1089.5);
    EXPECT_DOUBLE_EQ(p->Points()[0].GetValue(Net), 995);

    // A position still open at the end is valued without the exit charge.
    SetWindow(project, 730500, 730502);
    SetSignal(*p, {0.9, 0.9, 0.9, 0.9});
    SetFlags(*p, project.m_viewLimits, 50);
    Invest(*p, project.m_viewLimits, 1000, out);
    EXPECT_DOUBLE_EQ(out, 1094.5);

    // No point in the window: the output stays and the gain is taken from it.
    SetWindow(project, 1, 2);
    out = 1234;
    EXPECT_DOUBLE_EQ(Invest(*p, project.m_viewLimits, 1000, out), 23.4);
    EXPECT_EQ(out, 1234);
}

TEST_F(SimulationTest, FlatSeriesAndZeroInputAreHarmless) {
    CDataSet* p = Primary({5, 5, 5, 5}, {.RC = 1.0, .BL = 0});
    Simulate(project, nullptr);
    EXPECT_TRUE(std::isnan(p->Points()[1].GetValue(Signal)));  // nothing to normalise by
    EXPECT_EQ(Flags(*p), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(p->m_params.GN, 0.0);

    p->m_params.IN = 0;
    Simulate(project, nullptr);
    EXPECT_FALSE(std::isfinite(p->m_params.GN));
}

// Whatever a file holds, the simulation is defined (the sanitizer build runs this): flag levels
// and lengths at the 32-bit limits, a ratio that is not a number, charges beyond the input.
TEST_F(SimulationTest, ParametersAtTheLimitsAreHarmless) {
    CDataSet* p = Primary({100, 103, 101, 108, 104, 99, 110});
    for (int32_t level : {INT32_MIN, -1, 0, 100, INT32_MAX}) {
        for (int32_t length : {INT32_MIN, 0, 1, INT32_MAX}) {
            for (double ratio : {-1.0, 1.0, std::nan(""), 1e308}) {
                p->m_params = {.ML = length, .RC = ratio, .BL = level, .TT = 1e308};
                Simulate(project, nullptr);
            }
        }
    }
    // The lowest level turns the band inside out: every signal lies below its lower bound, so
    // the strategy stays out of the market.
    p->m_params = {.ML = 1, .RC = 1.0, .BL = INT32_MIN};
    Simulate(project, nullptr);
    EXPECT_EQ(Flags(*p), std::vector<int>(7, 0));
    EXPECT_EQ(p->m_params.GN, 0.0);
}

TEST_F(SimulationTest, BlendPairsPointsByDate) {
    // The source has days 1, 3, 4: day 0 precedes it (0); day 2 repeats day 1; day 5 follows
    // its last point and keeps 0.
    CDataSet* p = Primary({1, 1, 1, 1, 1, 1});
    p->ZeroSlot(SignalBase);
    Blend(*p, *DiffSet(project, {10, 30, 40}, {1, 3, 4}), 0.5);
    EXPECT_EQ(SlotValues(*p, Signal), (std::vector<double>{0, 5, 5, 15, 20, 0}));
}

TEST_F(SimulationTest, SecondSetWeighsTheFirstByOneMinusItsRatioUntilItEnds) {
    CDataSet* p = Primary({100, 102, 101, 104, 103, 107}, {.ML = 1, .RC = 0.8});
    CDataSet* s = project.AddDataSet("S");
    AppendDaily(*s, 730500, {50, 49, 51, 52});
    s->m_params.RC = -0.25;
    Simulate(project, nullptr);
    for (size_t i = 0; i < 6; ++i) {
        const double expected = i < 4 ? 0.8 * p->Points()[i].GetValue(Diff) * 0.75 -
                                            s->Points()[i].GetValue(Diff) * 0.25
                                      : 0.0;
        EXPECT_DOUBLE_EQ(p->Points()[i].GetValue(Signal), expected) << i;
    }
}

// The number is clamped to the result sets there are; a data set with fewer records keeps its
// own parameters.
TEST_F(SimulationTest, SelectResultSetClampsAndApplies) {
    CDataSet* p = Primary({100, 101, 103, 102});
    int32_t n = -2;
    SelectResultSet(project, n, nullptr);  // no results: simulates as it stands
    EXPECT_EQ(n, 0);

    CDataSet* s = project.AddDataSet("S");
    for (int i = 1; i <= 3; ++i) {
        p->AddResult().BL = 10 * i;
    }
    s->AddResult().RC = -0.5;
    n = 5;
    SelectResultSet(project, n, nullptr);
    EXPECT_EQ(std::tuple(n, p->m_params.BL, s->m_params.RC), std::tuple(3, 30, 0.0));
    n = 0;
    SelectResultSet(project, n, nullptr);
    EXPECT_EQ(std::tuple(n, p->m_params.BL, s->m_params.RC), std::tuple(1, 10, -0.5));
}

// The simulation reads each data set once and writes it once; it must leave every slot and flag
// exactly as the filters and steps applied one after the other do: sets with gaps the others
// lack, a source that ends early, a window inside the series, a length above 1.
TEST_F(SimulationTest, SimulateEqualsItsStepsOneByOne) {
    CDataSet* p = Primary({100, 102, 101, 104, 103, 107, 106, 110, 108, 111, 115, 112},
                          {.ML = 3, .RC = 0.6, .BL = 5, .IN = 1000, .TT = 2});
    CDataSet* s = project.AddDataSet("S");
    for (int32_t day : {1, 2, 4, 5, 6, 9}) {
        s->AppendPoint(PointAt(730500 + day, 50.0 + day * (day % 3 == 0 ? -1.5 : 1.25)));
    }
    s->m_params.RC = -0.3;
    CDataSet* t = project.AddDataSet("T");
    AppendDaily(*t, 730497, {20, 21, 19, 22, 24, 23, 25, 27, 26, 28, 31, 30, 29, 33, 35, 34});
    t->m_params.RC = 0.25;
    SetWindow(project, 730502, 730509);

    Simulate(project, nullptr);
    std::vector<std::vector<double>> fused;
    for (const auto& ds : project.DataSets()) {
        for (int slot = Diff; slot < kSlotCount; ++slot) {
            fused.push_back(SlotValues(*ds, slot));
        }
    }
    const std::vector<int> fusedFlags = Flags(*p);
    const double fusedGain = p->m_params.GN;
    const double fusedOut = p->m_params.OUT;

    for (const auto& ds : project.DataSets()) {
        for (int slot = Diff; slot < kSlotCount; ++slot) {
            ds->ZeroSlot(slot);
        }
    }
    for (const auto& source : project.DataSets()) {
        SmoothRaw(*source, p->m_params.ML);
        BuildDiff(*source, 1);
        Blend(*p, *source, source->m_params.RC);
        p->CopySlot(Signal, SignalBase);
    }
    SetFlags(*p, project.m_viewLimits, p->m_params.BL);
    double out = 0.0;
    const double gain = Invest(*p, project.m_viewLimits, p->m_params.IN, out);

    size_t k = 0;
    for (const auto& ds : project.DataSets()) {
        for (int slot = Diff; slot < kSlotCount; ++slot) {
            EXPECT_EQ(fused[k++], SlotValues(*ds, slot)) << ds->m_name << " slot " << slot;
        }
    }
    EXPECT_EQ(fusedFlags, Flags(*p));
    EXPECT_EQ(fusedGain, gain);
    EXPECT_EQ(fusedOut, out);
    // The window holds trades, so the comparison covers entries, exits and charges.
    EXPECT_NE(gain, 0.0);
}

}  // namespace
