#include "analysis/strategy_figures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>
#include <vector>

#include "analysis/simulation.h"
#include "model/project.h"
#include "support/series_builder.h"

namespace {

// A primary on consecutive days from serial 730500 with the given flags, invested with IN 1000
// and TT 5 over a window of all its points.
class StrategyFiguresTest : public ::testing::Test {
  protected:
    CDataSet& Invested(const std::vector<double>& prices, const std::vector<int>& flags) {
        CDataSet* ds = project.AddDataSet("Index");
        ds->m_params.IN = 1000.0;
        ds->m_params.TT = 5.0;
        AppendDaily(*ds, 730500, prices);
        SetWindow(project, 730500, 730500 + static_cast<int32_t>(prices.size()) - 1);
        ds->ClearFlags();
        for (size_t i = 0; i < flags.size(); ++i) {
            ds->MutablePoints()[i].m_flag = flags[i];
        }
        ds->m_params.GN = Invest(*ds, project.m_viewLimits, 1000.0, ds->m_params.OUT);
        return *ds;
    }

    CProject project;
};

TEST_F(StrategyFiguresTest, TwoTradesTheSecondOpenAtTheEnd) {
    // Net: 1000, 995, 1094.5, 1039.75 (sold at 105), 1039.75, 1034.75 (bought at 90), 1138.225.
    const CDataSet& ds = Invested({100, 100, 110, 105, 120, 90, 99}, {0, 1, 1, 0, 0, 1, 1});
    const CStrategyFigures f = ComputeFigures(ds, project.m_viewLimits);
    EXPECT_EQ(std::tuple(f.days, f.points, f.trades, f.peakIndex, f.troughIndex),
              std::tuple(7, 7, 2, 2, 5));
    EXPECT_NEAR(f.gain, 13.8225, 1e-12);
    EXPECT_DOUBLE_EQ(f.gainPerYear, f.gain * 365.25 / 7);
    EXPECT_DOUBLE_EQ(f.gainPerYearCompounded, (std::pow(1 + f.gain / 100, 365.25 / 7) - 1) * 100);
    EXPECT_DOUBLE_EQ(f.buyAndHold, -1.0);
    EXPECT_DOUBLE_EQ(f.worstTrade, 3.975);  // both charges inside
    EXPECT_DOUBLE_EQ(f.bestTrade, (1138.225 / 1039.75 - 1) * 100);
    EXPECT_DOUBLE_EQ(f.inMarket, 400.0 / 7);
    // The first dip (to 995 from the input) is smaller than the later one from 1094.5.
    EXPECT_DOUBLE_EQ(f.maxDrawdown, (1094.5 - 1034.75) * 100 / 1094.5);
}

TEST_F(StrategyFiguresTest, AFallFromTheInputHasNoPeakPoint) {
    // Bought on the first day at 100, sold at 80: the Net line never rises above IN.
    const CDataSet& ds = Invested({100, 90, 80}, {1, 1, 0});
    const CStrategyFigures f = ComputeFigures(ds, project.m_viewLimits);
    EXPECT_EQ(std::tuple(f.trades, f.bestTrade, f.worstTrade), std::tuple(1, f.gain, f.gain));
    EXPECT_DOUBLE_EQ(f.maxDrawdown, -f.gain);
    EXPECT_EQ(f.peakIndex, -1);
    EXPECT_EQ(f.troughIndex, 2);
}

TEST_F(StrategyFiguresTest, NeverInTheMarketAndAnEmptyWindow) {
    CDataSet& ds = Invested({100, 120, 90}, {0, 0, 0});
    CStrategyFigures f = ComputeFigures(ds, project.m_viewLimits);
    EXPECT_TRUE(std::isnan(f.bestTrade) && std::isnan(f.worstTrade));
    EXPECT_EQ(std::tuple(f.trades, f.maxDrawdown, f.peakIndex, f.inMarket),
              std::tuple(0, 0.0, -1, 0.0));
    EXPECT_DOUBLE_EQ(f.buyAndHold, -10.0);

    SetWindow(project, 740000, 740009);
    f = ComputeFigures(ds, project.m_viewLimits);
    EXPECT_EQ(f.points, 0);
    EXPECT_EQ(f.days, 10);
    EXPECT_TRUE(std::isnan(f.buyAndHold) && std::isnan(f.inMarket));
    // Nothing was invested: no gain, rather than the -100 % that Invest's untouched OUT gives.
    EXPECT_TRUE(std::isnan(f.gain) && std::isnan(f.gainPerYear) &&
                std::isnan(f.gainPerYearCompounded));
}

TEST(CompoundedPerYear, DoublingOverTwoYearsAndTotalLoss) {
    EXPECT_DOUBLE_EQ(CompoundedPerYear(100.0, 731), (std::pow(2.0, 365.25 / 731) - 1) * 100);
    EXPECT_EQ(CompoundedPerYear(-100.0, 365), -100.0);
    EXPECT_EQ(CompoundedPerYear(-150.0, 365), -100.0);
    EXPECT_TRUE(std::isnan(CompoundedPerYear(std::nan(""), 365)));
}

}  // namespace
