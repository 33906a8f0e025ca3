#include "analysis/potential_gains.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "analysis/series_filters.h"
#include "model/project.h"
#include "support/series_builder.h"

namespace {

TEST(PotentialGains, PerYearOverTheWindow) {
    CProject project;
    CDataSet* ds = project.AddDataSet("Index");
    for (auto [serial, value] : {std::pair{5000, 100}, {5100, 110}, {5200, 105}, {5300, 115}}) {
        ds->AppendPoint(PointAt(serial, value));
    }
    ds->m_params.ML = 1;  // smoothed equals raw
    SetWindow(project, 5000, 5364);
    ComputePotentialGains(*ds);
    EXPECT_DOUBLE_EQ(ds->m_gains[RawRises], 20.0 / 100 * 36525 / 365);
    EXPECT_DOUBLE_EQ(ds->m_gains[RawFalls], -5.0 / 100 * 36525 / 365);
    EXPECT_EQ(ds->m_gains[SmoothRises], ds->m_gains[RawRises]);

    SetWindow(project, 1, 10);  // no point inside
    ComputePotentialGains(*ds);
    for (double g : ds->m_gains) {
        EXPECT_FALSE(std::isfinite(g));
    }
}

// The smoothed figures and the smoothed slot are those of the series filters, with the set's
// own length, over a window that starts after the first point.
TEST(PotentialGains, SmoothWithTheSetsOwnLength) {
    CProject project;
    CDataSet* ds = project.AddDataSet("Index");
    AppendDaily(*ds, 5000, {100, 104, 101, 99, 107, 110, 108, 103, 111, 115});
    ds->m_params.ML = 4;
    SetWindow(project, 5002, 5008);
    ComputePotentialGains(*ds);
    const std::vector<double> smooth = SlotValues(*ds, Smooth);
    SmoothRaw(*ds, 4);
    EXPECT_EQ(smooth, SlotValues(*ds, Smooth));
    double rises = 0.0;
    double falls = 0.0;
    for (size_t i = 3; i <= 8; ++i) {
        const double change = smooth[i] - smooth[i - 1];
        (change > 0 ? rises : falls) += change;
    }
    EXPECT_DOUBLE_EQ(ds->m_gains[SmoothRises], rises / smooth[2] * 36525.0 / 7);
    EXPECT_DOUBLE_EQ(ds->m_gains[SmoothFalls], falls / smooth[2] * 36525.0 / 7);
    EXPECT_DOUBLE_EQ(ds->m_gains[RawRises], (8.0 + 3 + 8) / 101 * 36525.0 / 7);
}

}  // namespace
