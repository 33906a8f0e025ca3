#include "ui/chart_wnd.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include "analysis/strategy_params.h"
#include "charts/status_line.h"
#include "model/project.h"
#include "support/series_builder.h"
#include "ui/lum_sheet.h"
#include "ui/navigation_dialog.h"
#include "ui_fixture.h"

namespace {

// A data set with points on 10, 14 and 20 March 2003 in a window from 12 to 20 March: the
// window's first day has no point.
class ChartPanelTest : public UiTest {
  protected:
    void SetUp() override {
        UiTest::SetUp();
        Start();
        m_ds = Project().AddDataSet("Index");
        m_ds->AppendPoint(MakePoint(10, 3, 2003, 1200.0));
        m_ds->AppendPoint(MakePoint(14, 3, 2003, 1234.5));
        m_ds->AppendPoint(MakePoint(20, 3, 2003, 1250.25));
        CLimits window;
        window.start.SetDate(12, 3, 2003);
        window.end.SetDate(20, 3, 2003);
        Project().SetLimits(window);
        Frame()->Refresh(REFRESH_CURRENT);
        m_chart = Frame()->DataSetChart();
    }

    // The widget position of plot fraction `f` at mid-height.
    QPoint At(double f) const {
        const QRect area = m_chart->contentsRect();
        const int plotWidth = area.width() - 60;
        return QPoint(area.left() + static_cast<int>(f * plotWidth), area.center().y());
    }

    // The colour of the status line's indicator slice in the painted panel.
    QColor IndicatorColour() const {
        const QImage picture = m_chart->grab().toImage();
        const QRect area = m_chart->contentsRect();
        return picture.pixelColor(area.left() + 20, area.bottom() - 10);
    }

    CDataSet* m_ds = nullptr;
    CChartWnd* m_chart = nullptr;
};

TEST_F(ChartPanelTest, MouseReadoutShowsMonthDayYearAndTheValue) {
    EXPECT_EQ(m_chart->StatusLine().title, "DATA SET:    ");
    EXPECT_EQ(m_chart->StatusLine().dataSetName, "Index");
    QTest::mouseMove(m_chart, At(0.5));
    EXPECT_EQ(m_chart->MouseInside(), 1);
    EXPECT_EQ(m_chart->StatusLine().readout, "      3.14.2003      (1234.50)");
    ASSERT_NE(m_ds->Cursor(), nullptr);
    EXPECT_EQ(m_ds->Cursor()->m_day, 14);

    // At the plot's right edge and beyond: the last point inside the window.
    QTest::mouseMove(m_chart, At(1.0) + QPoint(30, 0));
    EXPECT_EQ(m_ds->Cursor()->m_day, 20);
    // At x = 0 no point lies on or before the window's first day: the text stays.
    const std::string before = m_chart->StatusLine().readout;
    QTest::mouseMove(m_chart, At(0.0));
    EXPECT_EQ(m_ds->Cursor(), nullptr);
    EXPECT_EQ(m_chart->StatusLine().readout, before);
}

TEST_F(ChartPanelTest, IndicatorAndReadoutFollowTheMouseInAndOut) {
    CPaintCounter paints(m_chart);
    QApplication::processEvents();
    const QColor idle = IndicatorColour();
    EXPECT_EQ(idle.red(), idle.green());  // grey

    QTest::mouseMove(m_chart, At(0.5));
    QApplication::processEvents();
    EXPECT_EQ(m_chart->Indicator(), &ActiveIndicator());
    const QColor active = IndicatorColour();
    EXPECT_GT(active.green(), active.red() + 100);  // green

    // Into the sheet: the frame clears the flag, the next paint drops the readout.
    paints.m_paints = 0;
    QTest::mouseMove(Frame()->Sheet(), Frame()->Sheet()->rect().center());
    EXPECT_EQ(m_chart->MouseInside(), 0);
    QApplication::processEvents();
    EXPECT_GT(paints.m_paints, 0);
    EXPECT_EQ(m_chart->StatusLine().readout, "");
    EXPECT_EQ(m_chart->Indicator(), &IdleIndicator());

    // Between two other windows no chart repaints.
    QTest::mouseMove(Frame()->Navigation(), Frame()->Navigation()->rect().center());
    QApplication::processEvents();
    paints.m_paints = 0;
    QTest::mouseMove(Frame()->Sheet(), Frame()->Sheet()->rect().center());
    QApplication::processEvents();
    EXPECT_EQ(paints.m_paints, 0);
}

TEST_F(ChartPanelTest, ANarrowPanelOrNoDataSetChoosesNoCursor) {
    m_ds->FindCursorPoint(0.5);
    const CDataPoint* kept = m_ds->Cursor();
    CDataSetChart narrow(Project());
    narrow.resize(60 + 2 * narrow.frameWidth(), 100);
    narrow.UpdateReadout(10);
    EXPECT_EQ(m_ds->Cursor(), kept);
    EXPECT_EQ(narrow.StatusLine().dataSetName, "Index");
    EXPECT_EQ(narrow.StatusLine().readout, "");

    Run("&New");
    EXPECT_EQ(m_chart->StatusLine().dataSetName, "");
    QTest::mouseMove(m_chart, At(0.5));
    EXPECT_EQ(m_chart->StatusLine().dataSetName, "");
    EXPECT_EQ(m_chart->StatusLine().readout, "");
}

TEST_F(ChartPanelTest, HistoryChartReadsTheNetValueOfThePrimary) {
    Project().Simulate();
    CChartWnd* history = Frame()->HistoryChart();
    EXPECT_EQ(history->StatusLine().title, "INVESTMENT HISTORY:    ");
    const QRect area = history->contentsRect();
    QTest::mouseMove(history, QPoint(area.left() + (area.width() - 60) / 2, area.center().y()));
    const CDataPoint* cursor = m_ds->Cursor();
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(history->StatusLine().readout, FormatReadout(*cursor, Net));
    EXPECT_NE(cursor->GetValue(Net), 0.0);
}

}  // namespace
