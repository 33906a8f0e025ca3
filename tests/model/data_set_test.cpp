#include "model/data_set.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>

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
    EXPECT_EQ(SlotValues(*ds, Raw), (std::vector<double>{0, 1, 2}));
}

TEST_F(DataSetTest, AddPointWidensBothLimitsAndUndoTakesOnlyTheLastPointBack) {
    SetWindow(project, 100, 200);
    ASSERT_TRUE(project.AddPoint(1, 1, 2003, 9));
    project.UndoAddPoint();  // the only point: the set is left empty, the window end stays
    EXPECT_TRUE(ds->Points().empty());
    EXPECT_EQ(project.m_viewLimits.end.m_serial, SerialOf(1, 1, 2003));

    SetWindow(project, SerialOf(1, 1, 2003), SerialOf(10, 1, 2003));
    ASSERT_TRUE(project.AddPoint(5, 1, 2003, 10));
    ASSERT_TRUE(project.AddPoint(20, 1, 2003, 11));
    EXPECT_EQ(project.m_viewLimits.end.m_serial, SerialOf(20, 1, 2003));
    EXPECT_EQ(project.m_historyLimits.end.m_serial, SerialOf(20, 1, 2003));
    EXPECT_FALSE(project.AddPoint(19, 1, 2003, 12));  // earlier: refused

    project.UndoAddPoint();
    EXPECT_EQ(ds->Points().size(), 1u);
    EXPECT_EQ(project.m_viewLimits.end.m_serial, SerialOf(5, 1, 2003));
    EXPECT_EQ(ds->Cursor(), nullptr);  // never left pointing at the removed point
    project.UndoAddPoint();            // one level only
    EXPECT_EQ(ds->Points().size(), 1u);

    // Once another point follows the added one, undo does nothing.
    ASSERT_TRUE(project.AddPoint(1, 2, 2004, 3));
    ASSERT_TRUE(ds->AppendPoint(MakePoint(2, 2, 2004, 4)));
    project.UndoAddPoint();
    EXPECT_EQ(ds->Points().size(), 3u);
}

TEST_F(DataSetTest, FindCursorPointPicksTheLastPointNotAfterTheTarget) {
    AppendDaily(*ds, 1000, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});  // serials 1000..1009
    SetWindow(project, 1002, 1011);                           // 10 days
    using Case = std::pair<double, int32_t>;
    for (auto [fraction, serial] : {Case{0.0, 1002}, Case{-3.0, 1002}, Case{0.35, 1005},
                                    Case{1.0, 1009}, Case{7.0, 1009}, Case{std::nan(""), 1002}}) {
        EXPECT_EQ(ds->FindCursorPoint(fraction)->m_serial, serial) << fraction;
    }
    SetWindow(project, 990, 1009);  // the window starts before the first point
    EXPECT_EQ(ds->FindCursorPoint(0.0), nullptr);
    EXPECT_EQ(ds->Cursor(), nullptr);
}

// The revision tells saved points from changed ones without looking at them: every change of
// the points or their raw values gives a number no data set has had, derived slots none.
TEST_F(DataSetTest, PointsRevisionChangesWithThePointsAndRawValuesOnly) {
    CDataSet* other = project.AddDataSet("B");
    EXPECT_NE(ds->PointsRevision(), other->PointsRevision());
    uint64_t seen = ds->PointsRevision();
    const auto changed = [&] {
        const uint64_t before = std::exchange(seen, ds->PointsRevision());
        return before != seen;
    };
    AppendDaily(*ds, 1000, {1, 2, 3});
    EXPECT_TRUE(changed());
    ds->ZeroSlot(Net);
    ds->CopySlot(Raw, Smooth);
    EXPECT_FALSE(changed());
    ds->CopySlot(Smooth, Raw);
    EXPECT_TRUE(changed());
    CDataPoint earlier = ds->Points().front();
    earlier.m_serial -= 1;
    ASSERT_TRUE(ds->PrependPoint(earlier));
    EXPECT_TRUE(changed());
    ds->ClearPoints();
    EXPECT_TRUE(changed());
}

}  // namespace
