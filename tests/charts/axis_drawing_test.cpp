#include <gtest/gtest.h>

#include <vector>

#include "charts/chart_drawing.h"
#include "charts/limits.h"
#include "model/project.h"
#include "support/recording_surface.h"
#include "support/series_builder.h"

namespace {

// W = 399, H = 200, date axis width 400.
constexpr CRect kClip{0, 0, 459, 214};

CLimits ScaledAxis(double lo, double hi) {
    CLimits limits;
    limits.start.SetValue(Raw, lo);
    limits.end.SetValue(Raw, hi);
    limits.Scale(Raw);
    return limits;
}

TEST(AxisDrawing, ValueTicksFromBottomUpToTheDisplayTop) {
    // Step 5 from 95 to 130, display 93.6 to 131.4.
    const CLimits limits = ScaledAxis(95, 130);
    CRecordingSurface dc(kClip);
    limits.DrawValueAxis(dc);
    const std::vector<CDrawOp> labels = dc.Of(OpKind::Text);
    const std::vector<CDrawOp> grid = dc.Of(OpKind::Line);
    ASSERT_EQ(labels.size(), 8u);
    ASSERT_EQ(grid.size(), 8u);
    EXPECT_EQ(labels.front().text, "95");
    EXPECT_EQ(labels[1].text, "100");
    EXPECT_EQ(labels.back().text, "130");
    // y = trunc((131.4 - v) x 200 / 37.8): 192 for 95, 7 for 130; labels 6 pixels higher.
    EXPECT_EQ(labels.front().rect.left, 405);
    EXPECT_EQ(labels.front().rect.top, 186);
    EXPECT_EQ(labels.back().rect.top, 1);
    EXPECT_EQ(grid.front().rect, (CRect{401, 192, -1, 192}));
    EXPECT_EQ(grid.back().rect, (CRect{401, 7, -1, 7}));
    EXPECT_EQ(grid.front().colour, ChartColours::kGrid);
    EXPECT_EQ(labels.front().colour, ChartColours::kWhite);
    EXPECT_EQ(labels.front().align, TextAlign::LeftTop);
    EXPECT_EQ(labels.front().backgroundMode, BackgroundMode::Transparent);
    EXPECT_EQ(labels.front().font, (CFontSpec{"Verdana Bold", -10}));

    // A flat series gets the default axis, labelled with one decimal.
    CRecordingSurface flat(kClip);
    ScaledAxis(1000, 1000).DrawValueAxis(flat);
    EXPECT_EQ(flat.Texts(), (std::vector<std::string>{"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}));

    // A record that was never scaled has no ticks.
    CRecordingSurface unscaled(kClip);
    CLimits().DrawValueAxis(unscaled);
    EXPECT_TRUE(unscaled.ops.empty());
}

TEST(AxisDrawing, DateTicksAndTheirLabels) {
    // 365 days on 400 pixels: month mode every second month.
    CLimits year;
    year.start = MakePoint(1, 1, 2003);
    year.end = MakePoint(31, 12, 2003);
    CRecordingSurface lines(kClip);
    year.DrawDateAxis(lines);
    const std::vector<CDrawOp> ticks = lines.Of(OpKind::Line);
    ASSERT_EQ(ticks.size(), 6u);
    EXPECT_EQ(ticks[0].rect, (CRect{0, 0, 0, 214}));  // the full height
    EXPECT_EQ(ticks[1].rect.left, 64);                // 1 March: 59 x 400 / 364
    EXPECT_EQ(ticks[5].rect.left, 334);               // 1 November
    EXPECT_TRUE(lines.Of(OpKind::Text).empty());

    year.drawDateLabels = 1;
    CRecordingSurface labelled(kClip);
    year.DrawDateAxis(labelled);
    const std::vector<CDrawOp> labels = labelled.Of(OpKind::Text);
    EXPECT_EQ(labelled.Texts(),
              (std::vector<std::string>{"JAN", "03", "MAR", "MAY", "JUL", "SEP", "NOV"}));
    EXPECT_EQ(labels[0].rect, (CRect{4, 0, 4, 0}));
    EXPECT_EQ(labels[1].rect, (CRect{4, 10, 4, 10}));
    EXPECT_EQ(labels[2].rect, (CRect{68, 0, 68, 0}));
    EXPECT_EQ(labels[0].colour, CRecordingSurface::kButtonText);
    EXPECT_EQ(labels[0].align, TextAlign::LeftTop);
}

TEST(AxisDrawing, TickLabelRowsAndTheRightEdge) {
    CLimits limits;
    limits.drawDateLabels = 1;
    CRecordingSurface dc(kClip);
    limits.DrawTick(dc, 10, 1, 1, 2003);
    EXPECT_EQ(dc.Texts(), (std::vector<std::string>{"1", "JAN", "03"}));
    EXPECT_EQ(dc.Of(OpKind::Text)[2].rect.top, 20);

    // Absent parts take no row.
    CRecordingSurface parts(kClip);
    limits.DrawTick(parts, 10, 0, 3, 2004);
    limits.DrawTick(parts, 10, 0, 0, 2005);
    limits.DrawTick(parts, 10, 7, 0, 0);
    const std::vector<CDrawOp> texts = parts.Of(OpKind::Text);
    ASSERT_EQ(parts.Texts(), (std::vector<std::string>{"MAR", "04", "05", "7"}));
    EXPECT_EQ(texts[1].rect.top, 10);
    EXPECT_EQ(texts[2].rect.top, 0);
    EXPECT_EQ(texts[3].rect.top, 0);

    // Within 40 pixels of the right edge: the line, no label.
    CRecordingSurface edge(kClip);
    limits.DrawTick(edge, 419, 5, 0, 0);
    limits.DrawTick(edge, 420, 9, 0, 0);
    EXPECT_EQ(edge.Texts(), (std::vector<std::string>{"5"}));
    EXPECT_EQ(edge.Of(OpKind::Line).size(), 2u);
}

TEST(AxisDrawing, OnlyTheDateStripLabelsTheDates) {
    CProject project;
    CDataSet* ds = project.AddDataSet("A");
    const int32_t first = MakePoint(1, 1, 2003).m_serial;
    AppendDaily(*ds, first, std::vector<double>(365, 1.0));
    SetWindow(project, first, first + 364);

    CRecordingSurface strip(CRect{0, 0, 459, 40});
    DrawDateStrip(strip, project);
    EXPECT_EQ(project.m_viewLimits.drawDateLabels, 1);
    EXPECT_EQ(strip.Texts().size(), 7u);
    EXPECT_EQ(strip.Of(OpKind::Line).back().rect.bottom, 40);

    CRecordingSurface chart(kClip);
    project.DrawDataSetChart(chart, false);
    EXPECT_EQ(project.m_viewLimits.drawDateLabels, 0);
    for (const CDrawOp& op : chart.Of(OpKind::Text)) {
        EXPECT_EQ(op.colour, ChartColours::kWhite);  // value labels only
    }
}

}  // namespace
