#include "analysis/potential_gains.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

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

}  // namespace
