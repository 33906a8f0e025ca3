#include "ui/chart_panel.h"

#include "charts/status_line.h"
#include "ui/status_bar.h"
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
        SetWindow(Project(), MakePoint(12, 3, 2003).m_serial, MakePoint(20, 3, 2003).m_serial);
        Frame()->Refresh(REFRESH_CURRENT);
        m_chart = Frame()->DataSetChart();
    }

    // The widget position of plot fraction `f` at mid-height.
    QPoint At(double f, const CChartPanel* chart = nullptr) const {
        const QRect area = (chart != nullptr ? chart : m_chart)->contentsRect();
        return QPoint(area.left() + static_cast<int>(f * (area.width() - 60)), area.center().y());
    }

    CDataSet* m_ds = nullptr;
    CChartPanel* m_chart = nullptr;
};

TEST_F(ChartPanelTest, MouseReadoutAndCrosshairFlag) {
    QTest::mouseMove(m_chart, At(0.5));
    EXPECT_EQ(m_chart->StatusLine().readout, "      3.14.2003      (1234.50)");
    // At the plot's right edge and beyond: the last point inside the window.
    QTest::mouseMove(m_chart, At(1.0) + QPoint(30, 0));
    EXPECT_EQ(m_chart->StatusLine().readout, "      3.20.2003      (1250.25)");
    // At x = 0 no point lies on or before the window's first day: the text stays.
    QTest::mouseMove(m_chart, At(0.0));
    EXPECT_EQ(m_ds->Cursor(), nullptr);
    EXPECT_EQ(m_chart->StatusLine().readout, "      3.20.2003      (1250.25)");

    QApplication::processEvents();
    EXPECT_EQ(m_chart->Indicator(), &ActiveIndicator());
    // Into the sheet: the frame clears the flag, the next paint drops the readout.
    QTest::mouseMove(Frame()->Sheet(), Frame()->Sheet()->rect().center());
    EXPECT_FALSE(m_chart->MouseInside());
    QApplication::processEvents();
    EXPECT_EQ(m_chart->StatusLine().readout, "");
    EXPECT_EQ(m_chart->Indicator(), &IdleIndicator());

    Run("&New");  // no cursor left on a point that is gone
    QTest::mouseMove(m_chart, At(0.5));
    EXPECT_EQ(m_chart->StatusLine().dataSetName + m_chart->StatusLine().readout, "");
}

TEST_F(ChartPanelTest, HistoryChartReadsTheNetValueOfThePrimary) {
    Simulate(Project(), Frame()->Status());
    ScaleHistory(Project());
    CChartPanel* history = Frame()->HistoryChart();
    QTest::mouseMove(history, At(0.5, history));
    ASSERT_NE(m_ds->Cursor(), nullptr);
    EXPECT_EQ(history->StatusLine().readout, FormatReadout(*m_ds->Cursor(), Net));
    EXPECT_NE(m_ds->Cursor()->GetValue(Net), 0.0);
}

// The panel paints through a picture of the screen's pixel ratio, copied pixel for pixel; at
// twice the ratio the plot's lines and fills are the same pixels grown to 2 x 2 blocks.
TEST_F(ChartPanelTest, PaintsAtTheScreensPixelRatio) {
    RecomputeRanges(Project());  // the value axis, for the series to show
    const double ratio = m_chart->devicePixelRatioF();
    const QRect area = m_chart->contentsRect();
    const QImage shown = m_chart->grab().toImage();
    const QImage picture = m_chart->PaintOffscreen(area.size(), ratio);
    EXPECT_EQ(shown.devicePixelRatio(), ratio);
    ASSERT_EQ(picture.size(), area.size() * ratio);
    EXPECT_EQ(shown.copy(QRect(area.topLeft() * ratio, picture.size())), picture);

    const QImage once = m_chart->PaintOffscreen(area.size(), 1.0);
    const QImage twice = m_chart->PaintOffscreen(area.size(), 2.0);
    ASSERT_EQ(twice.size(), area.size() * 2);
    EXPECT_EQ(twice.devicePixelRatio(), 2.0);
    int differing = 0;
    int series = 0;
    for (int y = 0; y < area.height() - 14; ++y) {
        for (int x = 0; x < area.width() - 60; ++x) {
            const QRgb pixel = once.pixel(x, y);
            series += pixel == qRgb(0, 100, 255) ? 1 : 0;
            for (int i = 0; i < 4; ++i) {
                differing += twice.pixel(2 * x + i % 2, 2 * y + i / 2) == pixel ? 0 : 1;
            }
        }
    }
    EXPECT_GT(series, area.width() / 2);
    EXPECT_EQ(differing, 0);
}

}  // namespace
