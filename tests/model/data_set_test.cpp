#include "model/data_set.h"

#include <gtest/gtest.h>

#include <cmath>

#include "model/project.h"
#include "support/series_builder.h"

namespace {

class DataSetTest : public ::testing::Test {
  protected:
    CProject project;
    CDataSet* ds = project.AddDataSet("Index");
};

TEST_F(DataSetTest, AppendAndPrependKeepDatesStrictlyIncreasing) {
    EXPECT_TRUE(ds->AppendPoint(MakePoint(2, 3, 2003, 1)));
    EXPECT_EQ(ds->Cursor(), nullptr);  // the first point never becomes the cursor
    EXPECT_TRUE(ds->AppendPoint(MakePoint(3, 3, 2003, 2)));
    EXPECT_EQ(ds->Cursor(), &ds->Points().back());
    EXPECT_FALSE(ds->AppendPoint(MakePoint(3, 3, 2003, 9)));
    EXPECT_FALSE(ds->AppendPoint(MakePoint(1, 3, 2003, 9)));
    EXPECT_FALSE(ds->PrependPoint(MakePoint(2, 3, 2003, 9)));
    EXPECT_TRUE(ds->PrependPoint(MakePoint(1, 3, 2003, 0)));
    EXPECT_EQ(ds->Cursor(), &ds->Points().front());
    ASSERT_EQ(ds->Points().size(), 3u);
    EXPECT_EQ(SlotValues(*ds, Raw), (std::vector<double>{0, 1, 2}));

    CDataSet* other = project.AddDataSet("Other");
    EXPECT_TRUE(other->PrependPoint(MakePoint(5, 5, 2005)));
    EXPECT_EQ(other->Cursor(), nullptr);
}

TEST_F(DataSetTest, AddPointWidensBothLimitsAndUndoTakesItBack) {
    SetWindow(project, MakePoint(1, 1, 2003).m_serial, MakePoint(10, 1, 2003).m_serial);
    ASSERT_TRUE(project.AddPoint(5, 1, 2003, 10));
    ASSERT_TRUE(project.AddPoint(20, 1, 2003, 11));
    const int32_t jan20 = MakePoint(20, 1, 2003).m_serial;
    EXPECT_EQ(project.m_viewLimits.end.m_serial, jan20);
    EXPECT_EQ(project.m_historyLimits.end.m_serial, jan20);

    // An earlier date is refused and changes nothing.
    EXPECT_FALSE(project.AddPoint(19, 1, 2003, 12));
    EXPECT_EQ(project.m_viewLimits.end.m_serial, jan20);
    EXPECT_EQ(ds->Points().size(), 2u);

    project.UndoAddPoint();
    EXPECT_EQ(ds->Points().size(), 1u);
    EXPECT_EQ(project.m_viewLimits.end.m_serial, MakePoint(5, 1, 2003).m_serial);
    EXPECT_EQ(project.m_historyLimits.end.m_serial, jan20);
    EXPECT_EQ(ds->Cursor(), nullptr);  // never left pointing at the removed point

    project.UndoAddPoint();  // one level only
    EXPECT_EQ(ds->Points().size(), 1u);
}

TEST_F(DataSetTest, UndoOfTheOnlyPointLeavesAnEmptySet) {
    SetWindow(project, 100, 200);
    ASSERT_TRUE(project.AddPoint(1, 2, 2004, 3));
    project.UndoAddPoint();
    EXPECT_TRUE(ds->Points().empty());
    EXPECT_EQ(project.m_viewLimits.end.m_serial, MakePoint(1, 2, 2004).m_serial);
}

TEST_F(DataSetTest, UndoDoesNothingOnceAnotherPointFollows) {
    ASSERT_TRUE(project.AddPoint(1, 2, 2004, 3));
    ASSERT_TRUE(ds->AppendPoint(MakePoint(2, 2, 2004, 4)));
    project.UndoAddPoint();
    EXPECT_EQ(ds->Points().size(), 2u);
}

TEST_F(DataSetTest, FindCursorPointPicksTheLastPointNotAfterTheTarget) {
    AppendDaily(*ds, 1000, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});  // serials 1000..1009
    SetWindow(project, 1002, 1011);                           // 10 days
    EXPECT_EQ(ds->FindCursorPoint(0.0)->m_serial, 1002);
    EXPECT_EQ(ds->FindCursorPoint(-3.0)->m_serial, 1002);
    EXPECT_EQ(ds->FindCursorPoint(0.35)->m_serial, 1005);
    EXPECT_EQ(ds->FindCursorPoint(1.0)->m_serial, 1009);
    EXPECT_EQ(ds->FindCursorPoint(7.0)->m_serial, 1009);
    EXPECT_EQ(ds->FindCursorPoint(std::nan(""))->m_serial, 1002);

    SetWindow(project, 990, 1009);  // the window starts before the first point
    EXPECT_EQ(ds->FindCursorPoint(0.0), nullptr);
    EXPECT_EQ(ds->Cursor(), nullptr);
}

TEST_F(DataSetTest, ScaleLimitsUsesOnlyPointsInsideItsDates) {
    AppendDaily(*ds, 2000, {500, 95, 130, 100, -500});
    CLimits limits;
    limits.start.SetSerial(2001);
    limits.end.SetSerial(2003);
    ds->ScaleLimits(limits, Raw);
    EXPECT_EQ(limits.start.GetValue(Raw), 95);
    EXPECT_EQ(limits.end.GetValue(Raw), 130);
    EXPECT_DOUBLE_EQ(limits.step, 5);
    EXPECT_DOUBLE_EQ(limits.bottom, 95);
    EXPECT_DOUBLE_EQ(limits.top, 130);

    // No point inside: the previous extremes stand and the axis is recomputed from them.
    limits.start.SetSerial(3000);
    limits.end.SetSerial(3100);
    ds->ScaleLimits(limits, Raw);
    EXPECT_EQ(limits.start.GetValue(Raw), 95);
    EXPECT_DOUBLE_EQ(limits.top, 130);
}

TEST_F(DataSetTest, PotentialGainsPerYear) {
    const int32_t first = 5000;
    ds->AppendPoint(PointAt(first, 100));
    ds->AppendPoint(PointAt(first + 100, 110));
    ds->AppendPoint(PointAt(first + 200, 105));
    ds->AppendPoint(PointAt(first + 300, 115));
    ds->m_params.ML = 1;  // smoothed equals raw
    SetWindow(project, first, first + 364);
    ds->ComputePotentialGains();
    EXPECT_DOUBLE_EQ(ds->m_gains[RawRises], 20.0 / 100 * 36525 / 365);
    EXPECT_DOUBLE_EQ(ds->m_gains[RawFalls], -5.0 / 100 * 36525 / 365);
    EXPECT_DOUBLE_EQ(ds->m_gains[SmoothRises], ds->m_gains[RawRises]);
    EXPECT_DOUBLE_EQ(ds->m_gains[SmoothFalls], ds->m_gains[RawFalls]);

    SetWindow(project, 1, 10);  // no point inside
    ds->ComputePotentialGains();
    for (double g : ds->m_gains) {
        EXPECT_FALSE(std::isfinite(g));
    }
}

TEST_F(DataSetTest, BuildDiffNormalisesTheSmoothedChange) {
    AppendDaily(*ds, 100, {10, 12, 11, 15});
    ds->SmoothRaw(1);
    EXPECT_EQ(SlotValues(*ds, Smooth), SlotValues(*ds, Raw));
    ds->BuildDiff(1);
    // Changes 0, 2, -1, 4 with mean absolute size 7/4.
    const double scale = 5 * 7.0 / 4;
    EXPECT_EQ(SlotValues(*ds, Diff), (std::vector<double>{0, 2 / scale, -1 / scale, 4 / scale}));
}

TEST_F(DataSetTest, ApplyResultCopiesOnlyTheStrategyChoice) {
    CStrategyResult& r = ds->AddResult();
    r.ML = 25;
    r.RC = 0.5;
    r.BL = 55;
    r.GN = 12.0;
    r.IN = 7;
    EXPECT_FALSE(ds->ApplyResult(0));
    EXPECT_FALSE(ds->ApplyResult(2));
    EXPECT_EQ(ds->m_params.ML, 20);
    EXPECT_TRUE(ds->ApplyResult(1));
    EXPECT_EQ(ds->m_params.ML, 25);
    EXPECT_EQ(ds->m_params.RC, 0.5);
    EXPECT_EQ(ds->m_params.BL, 55);
    EXPECT_EQ(ds->m_params.IN, 1000.0);
    EXPECT_EQ(ds->m_params.GN, 0.0);
}

}  // namespace
