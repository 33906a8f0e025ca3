#include "ui/main_frame.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTreeWidget>

#include "analysis/strategy_params.h"
#include "support/series_builder.h"
#include "ui/chart_wnd.h"
#include "ui/ctrl_status.h"
#include "ui/date_strip.h"
#include "ui/lum_sheet.h"
#include "ui/navigation_dialog.h"
#include "ui/result_sets_dialog.h"
#include "ui_fixture.h"

namespace {

TEST(FrameLayout, ClientOf600WithStatusBarOf20) {
    const CFrameLayout l = ComputeFrameLayout(800, 600, 20);
    EXPECT_EQ(l.sheet, QRect(0, 420, 800, 160));
    EXPECT_EQ(l.historyChart, QRect(150, 0, 650, 190));
    EXPECT_EQ(l.dateStrip, QRect(150, 190, 650, 40));
    EXPECT_EQ(l.dataSetChart, QRect(150, 230, 650, 190));
    EXPECT_EQ(l.navigation, QRect(0, 0, 150, 330));
    EXPECT_EQ(l.resultSets, QRect(0, 330, 150, 90));
}

TEST(FrameLayout, OddHeightLeavesOneRowAboveTheSheetAndTooSmallGivesEmptyBoxes) {
    const CFrameLayout odd = ComputeFrameLayout(800, 601, 20);
    EXPECT_EQ(odd.sheet.top(), 421);
    EXPECT_EQ(odd.dataSetChart.bottom() + 1, 420);
    const CFrameLayout small = ComputeFrameLayout(100, 150, 20);
    EXPECT_EQ(small.dataSetChart.size(), QSize(0, 0));
    EXPECT_EQ(small.navigation.height(), 0);
}

using MainFrameTest = UiTest;

TEST_F(MainFrameTest, ChildrenFollowEveryResize) {
    Start();
    CMainFrame* frame = Frame();
    frame->Status()->setFixedHeight(20);
    QApplication::processEvents();
    for (int width : {900, 1200}) {
        // Client height 600 with the status bar: 580 above it.
        frame->resize(width, frame->height() + 580 - frame->Client()->height());
        QApplication::processEvents();
        ASSERT_EQ(frame->Client()->height(), 580);
        const CFrameLayout l = ComputeFrameLayout(frame->Client()->width(), 600, 20);
        EXPECT_EQ(frame->Sheet()->geometry(), l.sheet);
        EXPECT_EQ(frame->Sheet()->y(), 420);
        EXPECT_EQ(frame->HistoryChart()->geometry(), l.historyChart);
        EXPECT_EQ(frame->DateStrip()->geometry(), l.dateStrip);
        EXPECT_EQ(frame->DataSetChart()->geometry(), l.dataSetChart);
        EXPECT_EQ(frame->Navigation()->geometry(), l.navigation);
        EXPECT_EQ(frame->ResultSets()->geometry(), l.resultSets);
    }
    // The navigation dialog places its trees from its own height (330).
    EXPECT_EQ(frame->Navigation()->DataSetTree()->geometry(), QRect(5, 5, 140, 135));
    EXPECT_EQ(frame->Navigation()->PageTree()->geometry(), QRect(5, 145, 140, 185));
}

TEST_F(MainFrameTest, TheDataSetChartHasTheFocus) {
    Start();
    EXPECT_EQ(Frame()->focusWidget(), Frame()->DataSetChart());
    Frame()->Navigation()->PageTree()->setFocus();
    Frame()->setFocus();
    EXPECT_EQ(Frame()->focusWidget(), Frame()->DataSetChart());
}

TEST_F(MainFrameTest, StatusPanesAfterASimulationAfterSetStatusAndAfterNew) {
    Start();
    CDataSet* ds = Project().AddDataSet("Index");
    AppendDaily(*ds, 1000, {100, 101, 103, 102, 106});
    SetWindow(Project(), 1000, 1004);
    Project().Simulate();
    CCtrlStatus* status = Frame()->Status();
    const CDataPoint& last = ds->Points().back();
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneDate).toStdString(), last.FormatDate());
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneName), "Index");
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneValue).toStdString(),
              FormatNumber(last.GetValue(Net)));
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneLevel), last.m_flag == 1 ? "HIGH" : "LOW");

    status->SetStatus("1/2/2003", "A", 1234.5, 1);
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneValue), "(1234.50)");
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneLevel), "HIGH");
    status->SetStatus("1/2/2003", "A", -0.5, 2);
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneValue), "");
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneLevel), "");
    status->SetStatus("1/2/2003", "A", 0.0, 0);
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneLevel), "LOW");
    // A code the status bar does not handle changes nothing.
    Frame()->Refresh(REFRESH_LOAD);
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneName), "A");

    Run("&New");
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneDate), "");
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneName), "");
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneValue), "(0.0)");
    EXPECT_EQ(status->PaneText(CCtrlStatus::PaneLevel), "");
}

TEST_F(MainFrameTest, MenuPromptsGoToTheStatusBar) {
    Start();
    Command("&Open...")->showStatusText(Frame());
    EXPECT_EQ(Frame()->Status()->currentMessage(), "Open An Existing Quillmark Project File");
}

}  // namespace
