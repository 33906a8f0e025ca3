#include "charts/chart_drawing.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "charts/project_view.h"
#include "charts/scaling.h"
#include "model/project.h"
#include "support/recording_surface.h"
#include "support/series_builder.h"

namespace {

using namespace ChartColours;

// W = 400, W1 = 401, H = 200: a 10-day window puts day i at x = trunc(40.1 i).
constexpr CRect kClip{0, 0, 460, 214};
constexpr int32_t kFirst = 1000;

// A project whose one data set, primary and current, holds raw values (and flags) on the days
// kFirst + 0, 1, ..., under a 10-day window.
struct SingleSetProject {
    explicit SingleSetProject(const std::vector<double>& raw, const std::vector<int>& flags = {}) {
        ds = project.AddDataSet("A");
        for (size_t i = 0; i < raw.size(); ++i) {
            CDataPoint p = PointAt(kFirst + static_cast<int32_t>(i), raw[i]);
            p.m_flag = i < flags.size() ? flags[i] : 0;
            ds->AppendPoint(p);
        }
        SetWindow(project, kFirst, kFirst + 9);
        RecomputeRanges(project);
    }
    CProject project;
    CDataSet* ds;
};

std::vector<CRect> Rects(const std::vector<CDrawOp>& ops) {
    return Each(ops, &CDrawOp::rect);
}

TEST(ChartDrawing, WithoutPrimaryOnlyThePlotAndTheLabelColumn) {
    CProject project;
    for (bool history : {true, false}) {
        CRecordingSurface dc(kClip);
        history ? DrawHistoryChart(dc, project, true) : DrawDataSetChart(dc, project, true);
        // The black plot, 80 bands that tile the column down to H (green in the history chart,
        // blue in the data set chart), the column's edge.
        ASSERT_EQ(dc.ops.size(), 1u + 80u + 1u);
        EXPECT_EQ(dc.ops[1].rect, (CRect{401, 0, 460, 2}));
        EXPECT_EQ(dc.ops[1].colour, (history ? CColour{0, 200, 0} : CColour{0, 0, 200}));
        EXPECT_EQ(dc.ops[80].rect, (CRect{401, 197, 460, 200}));
        EXPECT_EQ(dc.ops[81].rect, (CRect{401, 0, 401, 201}));
    }
    CRecordingSurface strip(CRect{0, 0, 460, 40}), scale(kClip);
    DrawDateStrip(strip, project);
    DrawScaleStrip(scale, 0);
    EXPECT_EQ(strip.ops.size(), 1u);  // the button face only
    EXPECT_EQ(scale.ops.size(), 1u);  // the edge line only
}

TEST(ChartDrawing, BarsOpenAndCloseAtTheRightColumns) {
    // Closed at x + 1 of the first day out; the run still open at the end closes at x + 1 of
    // the last inside point.
    SingleSetProject s({1, 2, 3, 4, 5, 6, 7}, {0, 1, 1, 0, 0, 1, 1});
    CRecordingSurface dc(kClip);
    DrawBackground(dc, s.project);
    EXPECT_EQ(Rects(dc.Of(OpKind::Fill, kMarketBar)),
              (std::vector<CRect>{{40, 0, 121, 214}, {200, 0, 241, 214}}));

    // A run that began before the window starts at the first inside point.
    SingleSetProject before({1, 1, 1, 1}, {1, 1, 1, 0});
    SetWindow(before.project, kFirst + 1, kFirst + 10);
    CRecordingSurface dc2(kClip);
    DrawBackground(dc2, before.project);
    EXPECT_EQ(Rects(dc2.Of(OpKind::Fill, kMarketBar)), (std::vector<CRect>{{0, 0, 81, 214}}));
}

TEST(ChartDrawing, TradeMarkersWhereTheFlagChanges) {
    // Gross 0 and 100 scale the history axis to -4 .. 104, where the net value 50 lies at
    // y = 100.
    SingleSetProject s({});
    const int flags[] = {0, 1, 1, 0, 0, 1, 1};
    for (int i = 0; i < 7; ++i) {
        CDataPoint p = PointAt(kFirst + i, 10);
        p.m_flag = flags[i];
        p.SetValue(Gross, i % 2 == 0 ? 0.0 : 100.0);
        p.SetValue(Net, 50.0);
        s.ds->AppendPoint(p);
    }
    RecomputeRanges(s.project);  // scales the axes to these points
    CRecordingSurface dc(kClip);
    DrawTradeMarkers(dc, *s.ds, s.project.m_historyLimits);
    const std::vector<CDrawOp> dots = dc.Of(OpKind::Ellipse);
    EXPECT_EQ(Rects(dots),
              (std::vector<CRect>{{37, 97, 43, 103}, {117, 97, 123, 103}, {197, 97, 203, 103}}));
    EXPECT_EQ(Each(dots, &CDrawOp::brush), (std::vector<CColour>{kBuyFill, kSellFill, kBuyFill}));
}

TEST(ChartDrawing, SeriesSkipsPointsBelowThePlotWithoutBreakingTheLine) {
    SingleSetProject s({50, -10, 60, 200, 25});
    s.ds->AppendPoint(PointAt(kFirst + 20, 40));  // outside the window
    CLimits axis = s.project.m_viewLimits;
    axis.displayBottom = 0;
    axis.displayTop = 100;
    CRecordingSurface dc(kClip);
    DrawSeries(dc, *s.ds, axis, Raw, kRawSeries, false, false);
    // Above the top is drawn and left to the clipping.
    EXPECT_EQ(Rects(dc.ops),
              (std::vector<CRect>{{0, 100, 80, 80}, {80, 80, 120, -200}, {120, -200, 160, 150}}));
}

TEST(ChartDrawing, CrosshairOnlyWithTheFlagAndAnInsideCursorPoint) {
    // Axis -3.6 .. 93.6: the value 50 of day 5 lies at y = 89, x = 200.
    SingleSetProject s({0, 10, 20, 30, 40, 50, 60, 70, 80, 90});
    ASSERT_EQ(s.ds->FindCursorPoint(0.5), &s.ds->Points()[5]);
    CRecordingSurface shown(kClip);
    DrawDataSetChart(shown, s.project, true);
    // Two inverting lines 2 pixels wide, then the dot drawn plainly again.
    const std::vector<CDrawOp> hair = shown.Of(OpKind::Line, kCrosshair);
    EXPECT_EQ(Rects(hair), (std::vector<CRect>{{0, 89, 400, 89}, {200, 0, 200, 214}}));
    EXPECT_EQ(hair.at(0).pen.width, 2);
    EXPECT_EQ(Each(hair, &CDrawOp::rasterOp), std::vector<RasterOp>(2, RasterOp::MergeNotPen));
    const std::vector<CDrawOp> dot = shown.Of(OpKind::Ellipse, kCursorOutline);
    ASSERT_EQ(dot.size(), 1u);
    EXPECT_EQ(dot[0].rect, (CRect{197, 86, 203, 92}));
    EXPECT_EQ(dot[0].rasterOp, RasterOp::CopyPen);

    CRecordingSurface hidden(kClip);
    DrawDataSetChart(hidden, s.project, false);
    EXPECT_TRUE(hidden.Of(OpKind::Line, kCrosshair).empty());
    EXPECT_TRUE(hidden.Of(OpKind::Ellipse).empty());

    // A cursor point outside the window leaves the crosshair out of sight.
    SetWindow(s.project, kFirst, kFirst + 3);
    CRecordingSurface outside(kClip);
    DrawDataSetChart(outside, s.project, true);
    for (const CDrawOp& op : outside.Of(OpKind::Line, kCrosshair)) {
        EXPECT_TRUE(op.rect.top == -500 || op.rect.left == -500);
    }
}

// No window or value a file can hold makes the drawing overflow or loop beyond the points.
TEST(ChartDrawing, AbsurdWindowsAndValuesStayBounded) {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    CProject project;
    CDataSet* ds = project.AddDataSet("A");
    ds->AppendPoint(PointAt(INT_MIN + 5, std::nan("")));
    ds->AppendPoint(PointAt(INT_MIN + 6, kInf));
    ds->AppendPoint(PointAt(0, -1e308));
    ds->AppendPoint(PointAt(INT_MAX - 1, 1.0));
    for (const auto& [first, last] : {std::pair{INT_MIN, INT_MAX}, std::pair{INT_MAX, INT_MIN}}) {
        SetWindow(project, first, last);
        ds->FindCursorPoint(0.5);
        CRecordingSurface dc(kClip);
        DrawHistoryChart(dc, project, true);
        DrawDataSetChart(dc, project, true);
        DrawDateLabels(dc, project);
        EXPECT_LT(dc.ops.size(), 2000u) << first << ".." << last;
    }
}

// ---- Axes: W = 399, H = 200, date axis width 400 ----

constexpr CRect kAxisClip{0, 0, 459, 214};

TEST(AxisDrawing, ValueTicksFromBottomUpToTheDisplayTop) {
    // Step 5 from 95 to 130, display 93.6 to 131.4; y = trunc((131.4 - v) x 200 / 37.8): 192
    // for 95, 7 for 130; labels 6 pixels higher, right of the plot.
    CLimits limits;
    limits.start.SetValue(Raw, 95);
    limits.end.SetValue(Raw, 130);
    Scale(limits, Raw);
    CRecordingSurface dc(kAxisClip);
    DrawValueAxis(dc, limits);
    const std::vector<CDrawOp> labels = dc.Of(OpKind::Text, kWhite);
    const std::vector<CDrawOp> grid = dc.Of(OpKind::Line, kGrid);
    EXPECT_EQ(Each(labels, &CDrawOp::text),
              (std::vector<std::string>{"95", "100", "105", "110", "115", "120", "125", "130"}));
    ASSERT_EQ(grid.size(), 8u);
    EXPECT_EQ(labels.front().rect, (CRect{405, 186, 405, 186}));
    EXPECT_EQ(grid.front().rect, (CRect{401, 192, -1, 192}));
    EXPECT_EQ(grid.back().rect, (CRect{401, 7, -1, 7}));

    // A record never scaled has no ticks.
    CRecordingSurface unscaled(kAxisClip);
    DrawValueAxis(unscaled, CLimits());
    EXPECT_TRUE(unscaled.ops.empty());
}

TEST(AxisDrawing, DateTicksLabelRowsAndTheFortyPixelRule) {
    // 365 days on 400 pixels: month mode every second month; ticks the full height, labels in
    // the button text colour only where asked for.
    CLimits year;
    year.start = MakePoint(1, 1, 2003);
    year.end = MakePoint(31, 12, 2003);
    CRecordingSurface lines(kAxisClip), labelled(kAxisClip);
    DrawDateAxis(lines, year, false);
    DrawDateAxis(labelled, year, true);
    const std::vector<CDrawOp> ticks = lines.Of(OpKind::Line);
    ASSERT_EQ(ticks.size(), 6u);
    EXPECT_EQ(ticks[0].rect, (CRect{0, 0, 0, 214}));
    EXPECT_TRUE(lines.Of(OpKind::Text).empty());
    const std::vector<CDrawOp> labels = labelled.Of(OpKind::Text, CRecordingSurface::kButtonText);
    EXPECT_EQ(Each(labels, &CDrawOp::text),
              (std::vector<std::string>{"JAN", "03", "MAR", "MAY", "JUL", "SEP", "NOV"}));
    EXPECT_EQ(labels.at(2).rect, (CRect{68, 0, 68, 0}));

    // Day, month and year in rows of 10 pixels; absent parts take no row.
    CRecordingSurface rows(kAxisClip);
    DrawTick(rows, CDateTick{10, 1, 1, 2003}, true);
    DrawTick(rows, CDateTick{10, 0, 3, 2004}, true);
    DrawTick(rows, CDateTick{10, 0, 0, 2005}, true);
    EXPECT_EQ(Each(rows.Of(OpKind::Text), &CDrawOp::text),
              (std::vector<std::string>{"1", "JAN", "03", "MAR", "04", "05"}));
    EXPECT_EQ(Rects(rows.Of(OpKind::Text)), (std::vector<CRect>{{14, 0, 14, 0},
                                                                {14, 10, 14, 10},
                                                                {14, 20, 14, 20},
                                                                {14, 0, 14, 0},
                                                                {14, 10, 14, 10},
                                                                {14, 0, 14, 0}}));
    // Within 40 pixels of the right edge: the line, no label.
    CRecordingSurface edge(kAxisClip);
    DrawTick(edge, CDateTick{419, 5, 0, 0}, true);
    DrawTick(edge, CDateTick{420, 9, 0, 0}, true);
    EXPECT_EQ(Each(edge.Of(OpKind::Text), &CDrawOp::text), (std::vector<std::string>{"5"}));
    EXPECT_EQ(edge.Of(OpKind::Line).size(), 2u);
}

}  // namespace
