#include "analysis/landscape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

#include "model/project.h"

namespace {

const double kNaN = std::nan("");

// Lengths from `low`, 7 of them, ratios -0.5, 0 and 0.5, levels 0, 10, 20, 30. At ratio 0.5 the
// gain is 100 - |ML - (low + 3)| x 10 - level / 10 (a ridge in the middle); at -0.5 it is 50
// with a spike of 500 at the first length and level; ratio 0 never trades and gains 0. One
// cell (ML low + 4, ratio 0.5, level 10) has no gain. Two data sets: the grid is the three
// ratios, the second set starts at 0.25 and the first set chose 0.5 at every length.
CLandscape Ridge(int32_t low = 10) {
    CLandscape l;
    l.lowLength = low;
    l.lengthCount = 7;
    l.levels = {0, 10, 20, 30};
    l.ratios = {-0.5, 0.0, 0.5};
    l.grid = l.ratios;
    l.startRatios = {0.0, 0.25};
    for (int32_t row = 0; row < 7; ++row) {
        for (int32_t r = 0; r < 3; ++r) {
            for (int32_t level : l.levels) {
                const double ridge = 100.0 - std::abs(row - 3) * 10.0 - level / 10.0;
                l.gains.push_back(r == 0 ? 50.0 : (r == 1 ? 0.0 : ridge));
                l.trades.push_back(r == 1 ? 0 : 1);
                l.visits.push_back(r);  // the first data set's pass, grid index r
            }
        }
        l.chosenRatios.insert(l.chosenRatios.end(), {0.5, 0.25});
    }
    l.gains[0] = 500.0;
    l.gains[static_cast<size_t>(l.Cell(int64_t{low} + 4, 2, 1))] = kNaN;
    return l;
}

TEST(Landscape, ThePlateauIsAtItsOwnRatioCutByTheEdges) {
    const CLandscape l = Ridge();
    EXPECT_TRUE(std::isnan(l.At(9, 0, 2)) && std::isnan(l.At(17, 0, 2)) &&
                std::isnan(l.At(13, 5, 2)));
    EXPECT_EQ(l.At(13, 0), 100.0);  // best over ratios
    EXPECT_EQ(l.At(10, 0), 500.0);
    // At ratio 0.5: ML 11..15 x levels 10..30 x ratios 0 and 0.5; the ratio-0 cells gain 0.
    CPlateau p = PlateauAt(l, 13, 20, 0.5);
    EXPECT_EQ(p.cells, 29);
    EXPECT_EQ(p.low, 0.0);
    // At ratio -0.5 the block holds -0.5 and 0: the spike alone is no plateau.
    p = PlateauAt(l, 10, 0, -0.5);
    EXPECT_EQ(p.cells, 12);
    EXPECT_EQ(p.low, 0.0);
    EXPECT_EQ(PlateauAt(l, 13, 15, 0.5).cells, 0);  // no such level
}

// Lengths near the largest int: the neighbours' arithmetic does not overflow.
TEST(Landscape, LengthsNearTheLargestIntAreNeighboursLikeAnyOther) {
    const int32_t top = std::numeric_limits<int32_t>::max();
    const CLandscape l = Ridge(top - 6);
    const CPlateau p = PlateauAt(l, top, 30, 0.5);
    EXPECT_EQ(p.cells, 3 * 2 * 2);  // ML top-2..top, ratios 0 and 0.5, levels 20 and 30
    EXPECT_TRUE(std::isnan(l.At(int64_t{top} + 1, 0, 0)));
    EXPECT_EQ(PlateauAt(l, std::numeric_limits<int32_t>::min(), 0, 0.5).cells, 0);
}

// The robust sets come from every trading cell of the landscape, by plateau low, then mean,
// then gain; the result records of every data set are replaced with them, each set's own ratio
// rebuilt from the sweep.
TEST(Landscape, RobustSetsSearchTheWholeLandscapeAndTrade) {
    CLandscape l = Ridge();
    // Without ratio 0's zeros the ridge and the -0.5 plateau compete: make 0 lose money.
    for (size_t i = 0; i < l.gains.size(); ++i) {
        if (l.trades[i] == 0) {
            l.gains[i] = -1.0;
        }
    }
    const std::vector<CRobustSet> sets = RobustSets(l, 3);
    ASSERT_EQ(sets.size(), 3u);
    for (const CRobustSet& s : sets) {
        EXPECT_NE(s.ratios[0], 0.0);  // never a set that does not trade
        EXPECT_EQ(s.plateau.low, -1.0);
        EXPECT_EQ(s.ratios[1], 0.25);
    }
    // Equal lows; by mean the flat 50s around the spike at -0.5 beat the ridge at 0.5, whose
    // block holds fewer cells as high: (500 + 5 x 50 - 6) / 12 at ML 10, level 0.
    EXPECT_EQ(std::tuple(sets[0].ml, sets[0].bl, sets[0].ratios[0]), std::tuple(10, 0, -0.5));
    EXPECT_DOUBLE_EQ(sets[0].plateau.mean, 744.0 / 12);
    EXPECT_EQ(std::tuple(sets[1].ml, sets[1].bl, sets[1].ratios[0]), std::tuple(11, 0, -0.5));

    CProject project;
    CDataSet* primary = project.AddDataSet("P");
    CDataSet* second = project.AddDataSet("S");
    primary->AddResult().ML = 99;
    RankByPlateau(project, l);
    ASSERT_EQ(primary->m_results.size(), 10u);
    EXPECT_EQ(primary->m_results[0].ML, sets[0].ml);
    EXPECT_EQ(primary->m_results[0].RC, -0.5);
    EXPECT_EQ(second->m_results[0].RC, 0.25);
    EXPECT_EQ(primary->m_results[0].GN, sets[0].gain);

    // Nothing trades: the result records stay as they were.
    std::fill(l.trades.begin(), l.trades.end(), uint8_t{0});
    EXPECT_TRUE(RobustSets(l, 3).empty());
    RankByPlateau(project, l);
    EXPECT_EQ(primary->m_results[0].ML, sets[0].ml);
}

TEST(Landscape, MapsForTheHeatMap) {
    const CLandscape l = Ridge();
    const CLandscapeMap slice = SliceAtRatio(l, 0.4);  // nearest: 0.5
    EXPECT_EQ(slice.what, "gain at ratio 0.5");
    EXPECT_EQ(slice.At(13, 0), 100.0);
    EXPECT_TRUE(std::isnan(slice.At(14, 10)));
    const CLandscapeMap best = BestOverRatios(l);
    EXPECT_EQ(best.At(10, 0), 500.0);
    EXPECT_EQ(best.At(14, 10), 50.0);
    EXPECT_EQ(best.gains.size(), 7u * 4);
}

}  // namespace
