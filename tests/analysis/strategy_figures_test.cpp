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
    EXPECT_EQ(std::tuple(f.days, f.points, f.trades, f.peakIndex, f.troughIndex, f.openAtEnd),
              std::tuple(7, 7, 2, 2, 5, true));
    EXPECT_NEAR(f.gain, 13.8225, 1e-12);
    // A week is no year: nothing is annualised.
    EXPECT_FALSE(f.annualised);
    EXPECT_TRUE(std::isnan(f.gainPerYear) && std::isnan(f.gainPerYearCompounded) &&
                std::isnan(f.calmar));
    EXPECT_DOUBLE_EQ(f.buyAndHold, -1.0);
    EXPECT_DOUBLE_EQ(f.worstTrade, 3.975);  // both charges inside
    EXPECT_DOUBLE_EQ(f.bestTrade, (1138.225 / 1039.75 - 1) * 100);
    EXPECT_DOUBLE_EQ(f.worstTradeMoney, 39.75);
    EXPECT_NEAR(f.bestTradeMoney, 98.475, 1e-9);
    EXPECT_EQ(std::tuple(f.winRate, f.profitFactor), std::tuple(100.0, INFINITY));
    EXPECT_DOUBLE_EQ(f.inMarket, 400.0 / 7);
    // The first dip (to 995 from the input) is smaller than the later one from 1094.5.
    EXPECT_DOUBLE_EQ(f.maxDrawdown, (1094.5 - 1034.75) * 100 / 1094.5);
}

TEST_F(StrategyFiguresTest, AFallFromTheInputHasNoPeakPoint) {
    // Bought on the first day at 100, sold at 80: the Net line never rises above IN.
    const CDataSet& ds = Invested({100, 90, 80}, {1, 1, 0});
    const CStrategyFigures f = ComputeFigures(ds, project.m_viewLimits);
    EXPECT_EQ(std::tuple(f.trades, f.bestTrade, f.worstTrade), std::tuple(1, f.gain, f.gain));
    EXPECT_EQ(std::tuple(f.winRate, f.profitFactor), std::tuple(0.0, 0.0));
    EXPECT_DOUBLE_EQ(f.maxDrawdown, -f.gain);
    EXPECT_EQ(f.peakIndex, -1);
    EXPECT_EQ(f.troughIndex, 2);
}

TEST_F(StrategyFiguresTest, NeverInTheMarketAndAnEmptyWindow) {
    CDataSet& ds = Invested({100, 120, 90}, {0, 0, 0});
    CStrategyFigures f = ComputeFigures(ds, project.m_viewLimits);
    EXPECT_TRUE(std::isnan(f.bestTrade) && std::isnan(f.worstTrade) && std::isnan(f.winRate));
    EXPECT_EQ(std::tuple(f.trades, f.maxDrawdown, f.peakIndex, f.inMarket),
              std::tuple(0, 0.0, -1, 0.0));
    EXPECT_DOUBLE_EQ(f.buyAndHold, -10.0);
    // A flat line has no deviation to divide by.
    EXPECT_EQ(f.volatility, 0.0);
    EXPECT_TRUE(std::isnan(f.sharpe) && std::isnan(f.sortino));

    // No point: no figure at all, not a loss of 100 %.
    SetWindow(project, 740000, 740009);
    f = ComputeFigures(ds, project.m_viewLimits);
    EXPECT_EQ(std::tuple(f.points, f.days), std::tuple(0, 10));
    EXPECT_TRUE(std::isnan(f.gain) && std::isnan(f.buyAndHold) && std::isnan(f.inMarket) &&
                std::isnan(f.maxDrawdown));
}

// Once the Net line reaches zero the account is lost: the drawdown is 100 %, later percentages
// have no base, and trades are told in money.
TEST_F(StrategyFiguresTest, ARuinedAccount) {
    // Net: 995 (in at 100), 9.95 (at 1), -0.025 after the exit at 0.5 and its charge; then in
    // at 10 (-5.025) and out at 20 (-15.05): the account was negative all through that trade.
    CDataSet& ds = Invested({100, 1, 0.5, 10, 20}, {1, 1, 0, 1, 0});
    const CStrategyFigures f = ComputeFigures(ds, project.m_viewLimits);
    EXPECT_EQ(f.ruinedIndex, 2);
    EXPECT_EQ(f.maxDrawdown, 100.0);
    EXPECT_EQ(f.trades, 2);
    // The first trade lost everything and more; the second started from a negative account,
    // so it has a result in money only, and no percentage claims it "won".
    EXPECT_NEAR(f.worstTradeMoney, -1000.025, 1e-9);
    EXPECT_NEAR(f.bestTradeMoney, -15.025, 1e-9);
    EXPECT_NEAR(f.bestTrade, -100.0025, 1e-9);
    EXPECT_EQ(std::tuple(f.worstTrade, f.averageTrade), std::tuple(f.bestTrade, f.bestTrade));
}

// The risk figures against a computation of their own from the Net line, over a year.
TEST(StrategyFigures, RiskFiguresOfALine) {
    std::vector<CFigurePoint> line;
    double net = 1000.0;
    for (int i = 0; i < 400; ++i) {
        net *= 1.0 + 0.01 * std::sin(i * 0.7) + 0.002;
        line.push_back({730000 + i, 100.0 + i, net, 1, false});
    }
    const CStrategyFigures f = ComputeLineFigures(line, 1000.0, 400);
    std::vector<double> r;
    double before = 1000.0;
    for (const CFigurePoint& p : line) {
        r.push_back(p.net / before - 1.0);
        before = p.net;
    }
    double mean = 0.0;
    for (double x : r) {
        mean += x / r.size();
    }
    double var = 0.0;
    double down = 0.0;
    for (double x : r) {
        var += (x - mean) * (x - mean) / (r.size() - 1);
        down += x < 0 ? x * x / r.size() : 0.0;
    }
    const double perYear = std::sqrt(400 * 365.25 / 400);
    EXPECT_NEAR(f.volatility, std::sqrt(var) * perYear * 100, 1e-9);
    EXPECT_NEAR(f.sharpe, mean / std::sqrt(var) * perYear, 1e-9);
    EXPECT_NEAR(f.sortino, mean / std::sqrt(down) * perYear, 1e-9);
    EXPECT_TRUE(f.annualised);
    EXPECT_NEAR(f.calmar, f.gainPerYearCompounded / f.maxDrawdown, 1e-12);
    EXPECT_EQ(f.trades, 1);
    EXPECT_TRUE(f.openAtEnd);
}

// A line whose windows each start out of the market ends a trade at each window's end.
TEST(StrategyFigures, FlatStartsEndTheTradesBeforeThem) {
    const std::vector<CFigurePoint> line{{1, 10, 990, 1, false},
                                         {2, 11, 1089, 1, false},
                                         {3, 11, 1089, 1, true},
                                         {4, 12, 1188, 0, false}};
    const CStrategyFigures f = ComputeLineFigures(line, 1000.0, 4);
    EXPECT_EQ(f.trades, 2);
    EXPECT_DOUBLE_EQ(f.bestTradeMoney, 99.0);
    EXPECT_DOUBLE_EQ(f.worstTradeMoney, 89.0);
    EXPECT_FALSE(f.openAtEnd);
}

TEST(CompoundedPerYear, DoublingOverTwoYearsAndTotalLoss) {
    EXPECT_DOUBLE_EQ(CompoundedPerYear(100.0, 731), (std::pow(2.0, 365.25 / 731) - 1) * 100);
    EXPECT_EQ(CompoundedPerYear(-100.0, 365), -100.0);
    EXPECT_EQ(CompoundedPerYear(-150.0, 365), -100.0);
    EXPECT_TRUE(std::isnan(CompoundedPerYear(std::nan(""), 365)));
}

}  // namespace
