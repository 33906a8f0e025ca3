#include "charts/project_view.h"

#include <gtest/gtest.h>

#include <atomic>
#include <tuple>
#include <utility>

#include "analysis/optimiser.h"
#include "analysis/simulation.h"
#include "model/project.h"
#include "support/series_builder.h"

namespace {

TEST(ProjectView, ListOperationsKeepPrimaryAndCurrentSet) {
    CProject project;
    // Without a data set every operation does nothing.
    EXPECT_FALSE(project.AddPoint(1, 1, 2000, 1.0));
    project.UndoAddPoint();
    Simulate(project, nullptr);
    ResetLimitsToCurrent(project);
    RecomputeRanges(project);
    SetDisplaySlot(project, 4);
    DeleteCurrent(project);
    MoveCurrentUp(project);
    const std::atomic<bool> stop{false};
    Optimise(project, 1, stop, nullptr);
    int32_t n = -3;
    SelectResultSet(project, n, nullptr);
    EXPECT_EQ(n, -3);

    const auto Selection = [&] { return std::pair(project.Primary(), project.Current()); };
    CDataSet* a = project.AddDataSet("A");
    CDataSet* b = project.AddDataSet("B");
    EXPECT_EQ(Selection(), std::pair(a, a));
    AppendDaily(*a, 100, {1, 2, 3});
    SetWindow(project, 100, 102);
    a->m_params = {.ML = 1, .RC = 1.0, .BL = 0};
    Simulate(project, nullptr);
    ASSERT_NE(a->Points()[2].GetValue(Net), 0.0);
    MoveCurrentUp(project);  // on the first data set: no reorder, outputs still dropped
    EXPECT_EQ(Selection(), std::pair(a, a));
    EXPECT_EQ(SlotValues(*a, Net), std::vector<double>(3, 0.0));

    SetCurrentDataSet(project, b);
    MoveCurrentUp(project);
    EXPECT_EQ(Selection(), std::pair(b, b));
    EXPECT_EQ(project.DataSets()[1].get(), a);
    DeleteCurrent(project);  // b, the primary
    EXPECT_EQ(Selection(), std::pair(a, a));
    DeleteCurrent(project);
    EXPECT_EQ(Selection(), (std::pair<CDataSet*, CDataSet*>(nullptr, nullptr)));
}

TEST(ProjectView, ResetLimitsSpansTheDataAndClearKeepsWindowAndRanges) {
    CProject project;
    CDataSet* a = project.AddDataSet("A");
    SetWindow(project, 50, 60);
    const auto Window = [&] {
        return std::pair(project.m_viewLimits.start.m_serial, project.m_historyLimits.end.m_serial);
    };
    ResetLimitsToCurrent(project);  // no points: the dates stay
    EXPECT_EQ(Window(), std::pair(50, 60));
    AppendDaily(*a, 1000, {95, 130, 100, 90});
    ResetLimitsToCurrent(project);
    EXPECT_EQ(Window(), std::pair(1000, 1003));

    project.m_range.MU = 33;
    project.Clear();  // keeps window and ranges
    EXPECT_EQ(std::tuple(project.Primary(), Window(), project.m_range.MU),
              std::tuple(nullptr, std::pair(1000, 1003), 33));
}

}  // namespace
