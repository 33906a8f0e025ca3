#include "model/project.h"

#include <gtest/gtest.h>

#include "support/series_builder.h"

namespace {

TEST(Project, FirstDataSetBecomesPrimaryAndCurrent) {
    CProject project;
    EXPECT_EQ(project.Primary(), nullptr);
    EXPECT_EQ(project.Current(), nullptr);
    CDataSet* a = project.AddDataSet("A");
    EXPECT_EQ(project.Primary(), a);
    EXPECT_EQ(project.Current(), a);
    CDataSet* b = project.AddDataSet("B");
    EXPECT_EQ(project.Primary(), a);
    EXPECT_EQ(project.Current(), a);
    project.SetCurrentDataSet(b);
    EXPECT_EQ(project.Current(), b);
    EXPECT_EQ(b->Project(), &project);
}

TEST(Project, MoveCurrentUpReordersAndClearsTheSimulationOutputs) {
    CProject project;
    CDataSet* a = project.AddDataSet("A");
    CDataSet* b = project.AddDataSet("B");
    AppendDaily(*a, 100, {1, 2, 3});
    SetWindow(project, 100, 102);
    a->m_params.RC = 1.0;
    a->m_params.BL = 0;
    a->m_params.ML = 1;
    project.Simulate();
    ASSERT_NE(a->Points()[2].GetValue(Net), 0.0);

    // On the first data set: no reorder, outputs still dropped.
    project.MoveCurrentUp();
    EXPECT_EQ(project.Primary(), a);
    for (const CDataPoint& p : a->Points()) {
        EXPECT_EQ(p.GetValue(Gross), 0.0);
        EXPECT_EQ(p.GetValue(Net), 0.0);
        EXPECT_EQ(p.GetValue(Smooth), 0.0);
        EXPECT_EQ(p.m_flag, 0);
    }

    project.SetCurrentDataSet(b);
    project.MoveCurrentUp();
    EXPECT_EQ(project.Primary(), b);
    EXPECT_EQ(project.Current(), b);
    EXPECT_EQ(project.DataSets()[1].get(), a);
}

TEST(Project, DeleteCurrentKeepsTheInvariants) {
    CProject project;
    CDataSet* a = project.AddDataSet("A");
    CDataSet* b = project.AddDataSet("B");
    project.DeleteCurrent();  // a, the primary
    EXPECT_EQ(project.DataSetCount(), 1);
    EXPECT_EQ(project.Primary(), b);
    EXPECT_EQ(project.Current(), b);
    project.DeleteCurrent();
    EXPECT_EQ(project.DataSetCount(), 0);
    EXPECT_EQ(project.Primary(), nullptr);
    EXPECT_EQ(project.Current(), nullptr);
    project.DeleteCurrent();  // nothing to do
    project.MoveCurrentUp();
    (void)a;
}

TEST(Project, ClearKeepsWindowAndRanges) {
    CProject project;
    project.AddDataSet("A");
    SetWindow(project, 730500, 730600);
    project.m_range.MU = 33;
    project.Clear();
    EXPECT_EQ(project.DataSetCount(), 0);
    EXPECT_EQ(project.Primary(), nullptr);
    EXPECT_EQ(project.m_viewLimits.start.m_serial, 730500);
    EXPECT_EQ(project.m_range.MU, 33);
}

TEST(Project, SetLimitsGivesBothRecordsTheDates) {
    CProject project;
    CDataSet* a = project.AddDataSet("A");
    AppendDaily(*a, 1000, {95, 130, 100});
    SetWindow(project, 1000, 1002);
    EXPECT_EQ(project.m_historyLimits.start.m_serial, 1000);
    EXPECT_EQ(project.m_historyLimits.end.m_serial, 1002);
    EXPECT_DOUBLE_EQ(project.m_viewLimits.top, 130);  // scaled for the display slot

    CLimits copy;
    project.GetLimits(copy);
    EXPECT_EQ(copy.start.m_serial, 1000);
    EXPECT_EQ(copy.end.m_serial, 1002);
}

TEST(Project, ResetLimitsToCurrentSpansTheData) {
    CProject project;
    CDataSet* a = project.AddDataSet("A");
    SetWindow(project, 50, 60);
    project.ResetLimitsToCurrent();  // no points: the dates stay
    EXPECT_EQ(project.m_viewLimits.start.m_serial, 50);
    EXPECT_EQ(project.m_historyLimits.end.m_serial, 60);

    AppendDaily(*a, 1000, {1, 2, 3, 4});
    project.ResetLimitsToCurrent();
    EXPECT_EQ(project.m_viewLimits.start.m_serial, 1000);
    EXPECT_EQ(project.m_viewLimits.end.m_serial, 1003);
    EXPECT_EQ(project.m_historyLimits.start.m_serial, 1000);
    EXPECT_EQ(project.m_historyLimits.end.m_serial, 1003);
}

TEST(Project, OperationsOnAnEmptyProjectDoNothing) {
    CProject project;
    EXPECT_FALSE(project.AddPoint(1, 1, 2000, 1.0));
    project.UndoAddPoint();
    project.Simulate();
    project.ResetLimitsToCurrent();
    project.RecomputeRanges();
    project.SetDisplaySlot(4);
    project.RequestCancel();
    project.PrepareRun(nullptr);
    int32_t n = -3;
    project.SelectResultSet(n);
    EXPECT_EQ(n, -3);
}

TEST(Project, PrepareRunAndCancelUseThePrimary) {
    CProject project;
    CDataSet* a = project.AddDataSet("A");
    project.AddDataSet("B");
    project.PrepareRun(nullptr);
    EXPECT_EQ(a->m_stepTotal, 21 * 43 * 10 * 2);
    project.RequestCancel();
    EXPECT_EQ(a->m_cancel.load(), 1);
}

}  // namespace
