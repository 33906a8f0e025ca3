#include "analysis/landscape.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/project.h"

namespace {

const double kNaN = std::nan("");

// Lengths 10 to 16 across levels 0, 10, 20, 30; the gain is 100 - |ML - 13| x 10 - level / 10
// (a ridge at ML 13), with a spike at (10, 0) and one cell without a gain at (14, 10).
CLandscape Ridge() {
    CLandscape l;
    l.lowLength = 10;
    l.lengthCount = 7;
    l.levels = {0, 10, 20, 30};
    for (int32_t ml = 10; ml <= 16; ++ml) {
        for (int32_t level : l.levels) {
            l.gains.push_back(100.0 - std::abs(ml - 13) * 10.0 - level / 10.0);
        }
    }
    l.gains[0] = 500.0;
    l.gains[4 * 4 + 1] = kNaN;
    return l;
}

TEST(Landscape, ThePlateauIsCutByTheEdgesAndSkipsCellsWithoutAGain) {
    const CLandscape l = Ridge();
    EXPECT_TRUE(std::isnan(l.At(9, 0)) && std::isnan(l.At(17, 0)) && std::isnan(l.At(13, 5)));
    // Inside: ML 11..15 x levels 10..30, one cell without a gain.
    CPlateau p = PlateauAt(l, 13, 20);
    EXPECT_EQ(p.cells, 14);
    EXPECT_EQ(p.low, 77.0);                 // ML 11 or 15 at level 30
    EXPECT_DOUBLE_EQ(p.mean, 1201.0 / 14);  // 3 x 440 - 5 x (1 + 2 + 3) - 89
    // A corner: ML 10..12 x levels 0..10; the spike is no plateau.
    p = PlateauAt(l, 10, 0);
    EXPECT_EQ(p.cells, 6);
    EXPECT_EQ(p.low, 69.0);
    p = PlateauAt(l, 13, 15);
    EXPECT_EQ(p.cells, 0);
    EXPECT_TRUE(std::isnan(p.low) && std::isnan(p.mean));
}

// The spike leads by gain and the ridge by plateau; every data set with the full list is
// reordered alike, a shorter one is left alone.
TEST(Landscape, RankByPlateauReordersEveryDataSetAlike) {
    CProject project;
    CDataSet* primary = project.AddDataSet("P");
    CDataSet* second = project.AddDataSet("S");
    CDataSet* shorter = project.AddDataSet("T");
    const std::vector<std::pair<int32_t, int32_t>> cells = {{10, 0}, {16, 30}, {13, 0}, {13, 5}};
    for (size_t i = 0; i < cells.size(); ++i) {
        for (CDataSet* ds : {primary, second}) {
            CStrategyResult& r = ds->AddResult();
            r.ML = cells[i].first;
            r.BL = cells[i].second;
            r.RC = static_cast<double>(i);
        }
    }
    shorter->AddResult().RC = 7.0;
    RankByPlateau(project, Ridge());
    // (13, 0) low 79; (10, 0) low 69; (16, 30) low 67; (13, 5) has no plateau.
    for (CDataSet* ds : {primary, second}) {
        std::vector<double> order;
        for (const CStrategyResult& r : ds->m_results) {
            order.push_back(r.RC);
        }
        EXPECT_EQ(order, (std::vector<double>{2, 0, 1, 3})) << ds->m_name;
    }
    EXPECT_EQ(shorter->m_results[0].RC, 7.0);
}

}  // namespace
