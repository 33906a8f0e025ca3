#include "ui/main_frame.h"

#include "ui/date_strip.h"
#include "ui/result_sets_dialog.h"
#include "ui/status_bar.h"
#include "ui_fixture.h"

namespace {

TEST(FrameLayout, AnOddHeightLeavesOneRowAboveTheSheetAndATinyClientGivesEmptyBoxes) {
    const CFrameLayout odd = ComputeFrameLayout(800, 601, 20);
    EXPECT_EQ(std::pair(odd.dataSetChart.bottom(), odd.sheet.top()), std::pair(419, 421));
    const CFrameLayout small = ComputeFrameLayout(100, 150, 20);
    EXPECT_EQ(small.dataSetChart.size(), QSize(0, 0));
    EXPECT_EQ(small.navigation.height(), 0);
}

using MainFrameTest = UiTest;

TEST_F(MainFrameTest, AClientOf600WithAStatusBarOf20PlacesTheChildren) {
    Start();
    CMainFrame* frame = Frame();
    frame->Status()->setFixedHeight(20);
    QApplication::processEvents();
    // Client height 600 with the status bar: 580 above it.
    frame->resize(1200, frame->height() + 580 - frame->Client()->height());
    QApplication::processEvents();
    ASSERT_EQ(frame->Client()->height(), 580);
    const int w = frame->Client()->width();
    EXPECT_EQ(frame->Sheet()->geometry(), QRect(0, 420, w, 160));
    EXPECT_EQ(frame->HistoryChart()->geometry(), QRect(150, 0, w - 150, 190));
    EXPECT_EQ(frame->DateStrip()->geometry(), QRect(150, 190, w - 150, 40));
    EXPECT_EQ(frame->DataSetChart()->geometry(), QRect(150, 230, w - 150, 190));
    EXPECT_EQ(frame->ResultSets()->geometry(), QRect(0, 330, 150, 90));
    // The navigation dialog places its trees from its own height (330).
    EXPECT_EQ(frame->Navigation()->DataSetTree()->geometry(), QRect(5, 5, 140, 135));
    EXPECT_EQ(frame->Navigation()->PageTree()->geometry(), QRect(5, 145, 140, 185));
}

TEST_F(MainFrameTest, StatusPanesAfterASimulationAndAfterNew) {
    Start();
    CStatusBar* status = Frame()->Status();
    const auto panes = [status] {
        QStringList texts;
        for (int pane = CStatusBar::PaneDate; pane <= CStatusBar::PaneLevel; ++pane) {
            texts << status->PaneText(static_cast<CStatusBar::Pane>(pane));
        }
        return texts.join("|").toStdString();
    };
    const int32_t start = MakePoint(2, 1, 2001).m_serial;
    AppendDaily(*Project().AddDataSet("Index"), start, {100, 101, 103, 102, 106});
    SetWindow(Project(), start, start + 4);
    Simulate(Project(), Frame()->Status());
    ScaleHistory(Project());
    EXPECT_EQ(panes(), "1/6/2001|Index|(1000.00)|LOW");  // the net value of the last day
    Run("&New");
    EXPECT_EQ(panes(), "||(0.0)|");
}

}  // namespace
