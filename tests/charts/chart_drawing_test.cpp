#include "charts/chart_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "model/project.h"
#include "support/recording_surface.h"
#include "support/series_builder.h"

namespace {

using namespace ChartColours;

// W = 400, W1 = 401, H = 200: a 10-day window puts day i at x = trunc(40.1 i).
constexpr CRect kClip{0, 0, 460, 214};
constexpr int32_t kFirst = 1000;

// A point on day kFirst + i with raw value `raw` and market flag `flag`.
CDataPoint Day(int32_t i, double raw, int32_t flag = 0) {
    CDataPoint p = PointAt(kFirst + i, raw);
    p.m_flag = flag;
    return p;
}

// Index of the first operation that matches, or ops.size().
template <typename Match>
size_t First(const CRecordingSurface& dc, Match match) {
    auto it = std::find_if(dc.ops.begin(), dc.ops.end(), match);
    return static_cast<size_t>(it - dc.ops.begin());
}

auto LineOf(CColour colour) {
    return [colour](const CDrawOp& op) { return op.kind == OpKind::Line && op.colour == colour; };
}
auto FillOf(CColour colour) {
    return [colour](const CDrawOp& op) { return op.kind == OpKind::Fill && op.colour == colour; };
}
auto TextOf(CColour colour) {
    return [colour](const CDrawOp& op) { return op.kind == OpKind::Text && op.colour == colour; };
}
bool Inverting(const CDrawOp& op) {
    return op.kind == OpKind::Line && op.rasterOp == RasterOp::MergeNotPen;
}

// A project whose one data set is primary and current, over a 10-day window.
struct SingleSetProject {
    explicit SingleSetProject(const std::vector<CDataPoint>& points) {
        ds = project.AddDataSet("A");
        for (const CDataPoint& p : points) {
            ds->AppendPoint(p);
        }
        SetWindow(project, kFirst, kFirst + 9);
    }
    CProject project;
    CDataSet* ds;
};

TEST(ChartDrawing, WithoutPrimaryOnlyThePlotAndTheLabelColumn) {
    CProject project;
    for (int chart = 0; chart < 2; ++chart) {
        CRecordingSurface dc(kClip);
        const CColour top = chart == 0 ? CColour{0, 0, 200} : CColour{0, 200, 0};
        const CColour bottom = chart == 0 ? CColour{0, 0, 2} : CColour{0, 2, 0};
        if (chart == 0) {
            project.DrawDataSetChart(dc, true);
        } else {
            project.DrawHistoryChart(dc, true);
        }
        ASSERT_EQ(dc.ops.size(), 1u + 80u + 1u);
        EXPECT_EQ(dc.ops[0].rect, kClip);
        EXPECT_EQ(dc.ops[0].colour, kBlack);
        // 80 bands that tile the column from the top of the plot down to H.
        EXPECT_EQ(dc.ops[1].rect, (CRect{401, 0, 460, 2}));
        EXPECT_EQ(dc.ops[1].colour, top);
        EXPECT_EQ(dc.ops[80].rect, (CRect{401, 197, 460, 200}));
        EXPECT_EQ(dc.ops[80].colour, bottom);
        for (size_t i = 2; i <= 80; ++i) {
            EXPECT_EQ(dc.ops[i].rect.top, dc.ops[i - 1].rect.bottom);
        }
        EXPECT_EQ(dc.ops[81].kind, OpKind::Line);
        EXPECT_EQ(dc.ops[81].rect, (CRect{401, 0, 401, 201}));
        EXPECT_EQ(dc.ops[81].colour, kWhite);
    }
    CRecordingSurface strip(CRect{0, 0, 460, 40});
    DrawDateStrip(strip, project);
    ASSERT_EQ(strip.ops.size(), 1u);
    EXPECT_EQ(strip.ops[0].colour, CRecordingSurface::kButtonFace);

    CRecordingSurface none(kClip);
    project.DrawScaleStrip(none, 0);
    ASSERT_EQ(none.ops.size(), 1u);  // the edge line only
}

TEST(ChartDrawing, BarsOpenAndCloseAtTheRightColumns) {
    SingleSetProject s({Day(0, 1, 0), Day(1, 2, 1), Day(2, 3, 1), Day(3, 4, 0), Day(4, 5, 0),
                        Day(5, 6, 1), Day(6, 7, 1)});
    CRecordingSurface dc(kClip);
    s.project.DrawBackground(dc);
    const std::vector<CDrawOp> fills = dc.Of(OpKind::Fill);
    ASSERT_EQ(fills.size(), 3u);
    EXPECT_EQ(fills[1].colour, kMarketBar);
    // Closed at x + 1 of the first day out; the run still open at the end closes at x + 1 of
    // the last inside point.
    EXPECT_EQ(fills[1].rect, (CRect{40, 0, 121, 214}));
    EXPECT_EQ(fills[2].rect, (CRect{200, 0, 241, 214}));

    // A run that began before the window starts at the first inside point.
    SingleSetProject before({Day(-1, 1, 1), Day(0, 1, 1), Day(1, 1, 1), Day(2, 1, 0)});
    CRecordingSurface dc2(kClip);
    before.project.DrawBackground(dc2);
    ASSERT_EQ(dc2.Of(OpKind::Fill).size(), 2u);
    EXPECT_EQ(dc2.Of(OpKind::Fill)[1].rect, (CRect{0, 0, 81, 214}));
}

TEST(ChartDrawing, TradeMarkersWhereTheFlagChanges) {
    // Gross 0 and 100 scale the history axis to -4 .. 104, where the net value 50 lies at
    // y = 100.
    std::vector<CDataPoint> points;
    const int flags[] = {0, 1, 1, 0, 0, 1, 1};
    for (int i = 0; i < 7; ++i) {
        CDataPoint p = Day(i, 10, flags[i]);
        p.SetValue(Gross, i % 2 == 0 ? 0.0 : 100.0);
        p.SetValue(Net, 50.0);
        points.push_back(p);
    }
    SingleSetProject s(points);
    ASSERT_DOUBLE_EQ(s.project.m_historyLimits.displayTop, 104.0);
    CRecordingSurface dc(kClip);
    s.ds->DrawTradeMarkers(dc);
    const std::vector<CDrawOp> dots = dc.Of(OpKind::Ellipse);
    ASSERT_EQ(dots.size(), 3u);
    EXPECT_EQ(dots[0].rect, (CRect{37, 97, 43, 103}));
    EXPECT_EQ(dots[0].brush, kBuyFill);
    EXPECT_EQ(dots[0].colour, kBuyOutline);
    EXPECT_EQ(dots[1].rect, (CRect{117, 97, 123, 103}));
    EXPECT_EQ(dots[1].brush, kSellFill);
    EXPECT_EQ(dots[1].colour, kSellOutline);
    EXPECT_EQ(dots[2].rect.left, 197);
    EXPECT_EQ(dots[2].brush, kBuyFill);
}

TEST(ChartDrawing, SeriesSkipsPointsBelowThePlotWithoutBreakingTheLine) {
    SingleSetProject s({Day(0, 50), Day(1, -10), Day(2, 60), Day(3, 200), Day(4, 25),
                        Day(20, 40)});  // the last lies outside the window
    CLimits axis = s.project.m_viewLimits;
    axis.displayBottom = 0;
    axis.displayTop = 100;
    CRecordingSurface dc(kClip);
    s.ds->DrawSeries(dc, axis, Raw, kRawSeries, false, false);
    const std::vector<CDrawOp> lines = dc.LinesOf(kRawSeries);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rect, (CRect{0, 100, 80, 80}));
    // Above the top is drawn and left to the clipping.
    EXPECT_EQ(lines[1].rect, (CRect{80, 80, 120, -200}));
    EXPECT_EQ(lines[2].rect, (CRect{120, -200, 160, 150}));
    EXPECT_EQ(dc.Of(OpKind::Text).size(), 0u);  // no axis asked for
}

TEST(ChartDrawing, SmoothCurveUsesTheRawScalingInDisplaySlotZero) {
    // Setting the window smooths the series, so the points come after it.
    SingleSetProject s({});
    for (int i = 0; i < 10; ++i) {
        CDataPoint p = Day(i, 100 + 10 * i);
        p.SetValue(Smooth, i < 5 ? 0.0 : 150.0);  // 0 lies below the raw axis
        s.ds->AppendPoint(p);
    }
    s.project.RecomputeRanges();
    CRecordingSurface dc(kClip);
    s.project.DrawDataSetChart(dc, false);
    const std::vector<CDrawOp> red = dc.LinesOf(kSmoothSeries);
    ASSERT_EQ(red.size(), 4u);  // days 5 to 9 only
    EXPECT_EQ(red[0].rect.left, 200);
    EXPECT_EQ(dc.LinesOf(kRawSeries).size(), 9u);

    s.project.SetDisplaySlot(Smooth);
    CRecordingSurface other(kClip);
    s.project.DrawDataSetChart(other, false);
    EXPECT_EQ(other.LinesOf(kSmoothSeries).size(), 0u);
    EXPECT_EQ(other.LinesOf(kRawSeries).size(), 0u);
    EXPECT_GT(other.LinesOf(kGrid).size(), 0u);  // the date grid still
}

TEST(ChartDrawing, EmptyWindowAndSingleInsidePointDrawNoLine) {
    CProject project;
    CDataSet* primary = project.AddDataSet("P");
    for (int i = 0; i < 10; ++i) {
        primary->AppendPoint(Day(i, i, i >= 3 ? 1 : 0));
    }
    CDataSet* current = project.AddDataSet("C");
    current->AppendPoint(Day(30, 5));
    current->AppendPoint(Day(31, 6));
    project.SetCurrentDataSet(current);
    SetWindow(project, kFirst, kFirst + 9);

    CRecordingSurface dc(kClip);
    project.DrawDataSetChart(dc, true);
    EXPECT_EQ(dc.Of(OpKind::Fill)[1].colour, kMarketBar);  // the primary's bars
    EXPECT_GT(dc.LinesOf(kGrid).size(), 0u);
    EXPECT_GT(dc.Texts().size(), 0u);  // the value axis of the last scaling
    EXPECT_EQ(dc.LinesOf(kRawSeries).size(), 0u);
    EXPECT_EQ(dc.LinesOf(kSmoothSeries).size(), 0u);

    SetWindow(project, kFirst + 25, kFirst + 30);  // only the first point of C
    CRecordingSurface single(kClip);
    project.DrawDataSetChart(single, false);
    EXPECT_EQ(single.LinesOf(kRawSeries).size(), 0u);
    EXPECT_EQ(single.Of(OpKind::Ellipse).size(), 0u);
}

TEST(ChartDrawing, CrosshairOnlyWithTheFlagAndAnInsideCursorPoint) {
    std::vector<CDataPoint> points;
    for (int i = 0; i < 10; ++i) {
        points.push_back(Day(i, 10 * i));
    }
    SingleSetProject s(points);
    // Axis -3.6 .. 93.6: the value 50 of day 5 lies at y = 89, x = 200.
    ASSERT_EQ(s.ds->FindCursorPoint(0.5), &s.ds->Points()[5]);

    CRecordingSurface shown(kClip);
    s.project.DrawDataSetChart(shown, true);
    std::vector<CDrawOp> hair;
    std::copy_if(shown.ops.begin(), shown.ops.end(), std::back_inserter(hair), Inverting);
    ASSERT_EQ(hair.size(), 2u);
    EXPECT_EQ(hair[0].rect, (CRect{0, 89, 400, 89}));
    EXPECT_EQ(hair[1].rect, (CRect{200, 0, 200, 214}));
    EXPECT_EQ(hair[0].penWidth, 2);
    EXPECT_EQ(hair[0].colour, kCrosshair);
    const std::vector<CDrawOp> dot = shown.Of(OpKind::Ellipse);
    ASSERT_EQ(dot.size(), 1u);
    EXPECT_EQ(dot[0].rect, (CRect{197, 86, 203, 92}));
    EXPECT_EQ(dot[0].brush, kWhite);
    EXPECT_EQ(dot[0].colour, kCursorOutline);
    EXPECT_EQ(dot[0].rasterOp, RasterOp::CopyPen);

    CRecordingSurface hidden(kClip);
    s.project.DrawDataSetChart(hidden, false);
    EXPECT_EQ(std::count_if(hidden.ops.begin(), hidden.ops.end(), Inverting), 0);
    EXPECT_EQ(hidden.Of(OpKind::Ellipse).size(), 0u);

    // A cursor point outside the window leaves the crosshair out of sight.
    SetWindow(s.project, kFirst, kFirst + 3);
    CRecordingSurface outside(kClip);
    s.project.DrawDataSetChart(outside, true);
    for (const CDrawOp& op : outside.ops) {
        if (Inverting(op)) {
            EXPECT_TRUE(op.rect.top == -500 || op.rect.left == -500);
        }
    }
}

// Back to front, and the surface left as it was found.
TEST(ChartDrawing, ChartsDrawBackToFront) {
    std::vector<CDataPoint> points;
    for (int i = 0; i < 10; ++i) {
        CDataPoint p = Day(i, 10 * i, i >= 2 && i < 6 ? 1 : 0);
        p.SetValue(Gross, 100 + i);
        p.SetValue(Net, 100 + 2 * i);
        points.push_back(p);
    }
    SingleSetProject s(points);
    s.ds->FindCursorPoint(0.5);

    CRecordingSurface data(kClip);
    const CSurfaceState before = data.state;
    s.project.DrawDataSetChart(data, true);
    EXPECT_EQ(data.state, before);
    const std::vector<size_t> dataOrder = {
        First(data, FillOf(kBlack)),        First(data, FillOf(kMarketBar)),
        First(data, FillOf({0, 0, 200})),   First(data, LineOf(kGrid)),
        First(data, LineOf(kSmoothSeries)), First(data, TextOf(kWhite)),
        First(data, LineOf(kRawSeries)),    First(data, Inverting),
    };
    EXPECT_TRUE(std::is_sorted(dataOrder.begin(), dataOrder.end()));
    EXPECT_LT(dataOrder.back(), data.ops.size());

    CRecordingSurface history(kClip);
    s.project.DrawHistoryChart(history, true);
    EXPECT_EQ(history.state, before);
    const auto buy = [](const CDrawOp& op) {
        return op.kind == OpKind::Ellipse && op.brush == kBuyFill;
    };
    const std::vector<size_t> historyOrder = {
        First(history, FillOf(kMarketBar)),
        First(history, FillOf({0, 200, 0})),
        First(history, LineOf(kGrid)),
        First(history, TextOf(kWhite)),
        First(history, LineOf(kGrossSeries)),
        First(history, LineOf(kNetSeries)),
        First(history, Inverting),
        First(history, buy),
    };
    EXPECT_TRUE(std::is_sorted(historyOrder.begin(), historyOrder.end()));
    EXPECT_LT(historyOrder.back(), history.ops.size());
    // The history chart's date grid has no labels; the strip's has.
    EXPECT_EQ(First(history, TextOf(CRecordingSurface::kButtonText)), history.ops.size());
    CRecordingSurface strip(kClip);
    s.project.DrawDateLabels(strip);
    EXPECT_EQ(strip.state, before);
}

// No window or value a file can hold makes the drawing overflow or loop beyond the points
// and the pixels.
TEST(ChartDrawing, AbsurdWindowsAndValuesStayBounded) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const double values[] = {std::nan(""), kInf, -kInf, 1e308, -1e308, 0.0, 5e-324};
    CProject project;
    CDataSet* ds = project.AddDataSet("A");
    int32_t serial = INT_MIN + 5;
    for (int i = 0; i < 40; ++i) {
        CDataPoint p = PointAt(serial, values[i % 7]);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            p.SetValue(slot, values[(i + slot) % 7]);
        }
        p.m_flag = i % 2;
        ds->AppendPoint(p);
        serial += i < 20 ? 1 : 100000000;
    }
    ds->AppendPoint(PointAt(INT_MAX - 1, 1.0));
    const std::vector<std::pair<int32_t, int32_t>> windows = {
        {INT_MIN, INT_MAX}, {INT_MIN + 5, INT_MIN + 15}, {INT_MAX, INT_MIN}, {0, 0}};
    const std::vector<CRect> clips = {kClip, CRect{}, CRect{0, 0, 1, 1}, CRect{0, 0, 59, 13},
                                      CRect{-50, -50, 3000, 2000}};
    for (const auto& [first, last] : windows) {
        SetWindow(project, first, last);
        ds->FindCursorPoint(0.5);
        for (const CRect& clip : clips) {
            CRecordingSurface dc(clip);
            project.DrawHistoryChart(dc, true);
            project.DrawDataSetChart(dc, true);
            project.DrawDateLabels(dc);
            EXPECT_LT(dc.ops.size(), 2000u) << first << ".." << last;
        }
    }
}

}  // namespace
