#include "charts/status_line.h"

#include <gtest/gtest.h>

#include "support/recording_surface.h"
#include "support/series_builder.h"

namespace {

constexpr CRect kClip{0, 0, 460, 214};
constexpr CColour kWhite{255, 255, 255};

TEST(StatusLine, DrawsTheLineOverTheBottom14Pixels) {
    CStatusLine line{"DATA SET:    ", "SP500", "      3.14.2003      (1234.50)"};
    CRecordingSurface dc(kClip);
    const CSurfaceState before = dc.state;
    DrawStatusLine(dc, line, ActiveIndicator(), 1);

    ASSERT_EQ(dc.ops.size(), 1u + 2u + 1u + 4u + 1u);
    EXPECT_EQ(dc.ops[0].rect, (CRect{0, 200, 460, 214}));
    EXPECT_EQ(dc.ops[0].colour, kWhite);
    EXPECT_EQ(dc.ops[1].rect, (CRect{460, 200, 0, 200}));
    EXPECT_EQ(dc.ops[2].rect, (CRect{0, 200, 0, 213}));
    EXPECT_EQ(dc.ops[2].colour, kWhite);
    // The slice of the indicator, cut off by the clip box below.
    EXPECT_EQ(dc.ops[3].kind, OpKind::Image);
    EXPECT_EQ(dc.ops[3].rect, (CRect{14, 200, 44, 220}));
    EXPECT_EQ(dc.ops[3].sourceX, 10);
    EXPECT_EQ(dc.ops[3].imageWidth, 200);
    EXPECT_EQ(dc.ops[4].rect, (CRect{44, 200, 44, 214}));
    EXPECT_EQ(dc.ops[5].rect, (CRect{14, 200, 14, 214}));
    EXPECT_EQ(dc.ops[6].rect, (CRect{0, 213, 459, 213}));
    EXPECT_EQ(dc.ops[7].rect, (CRect{459, 213, 459, 200}));
    EXPECT_EQ(dc.ops[7].colour, CRecordingSurface::kButtonShadow);

    const CDrawOp& text = dc.ops[8];
    EXPECT_EQ(text.kind, OpKind::BoxText);
    EXPECT_EQ(text.text, "DATA SET:    SP500      3.14.2003      (1234.50)");
    EXPECT_EQ(text.rect, (CRect{58, 200, 460, 214}));
    EXPECT_EQ(text.colour, (CColour{50, 50, 50}));
    EXPECT_EQ(text.font, (CFontSpec{"Arial Bold", -10}));
    EXPECT_EQ(text.backgroundMode, BackgroundMode::Transparent);
    EXPECT_EQ(dc.state, before);
}

TEST(StatusLine, MouseOutsideEmptiesTheReadout) {
    CStatusLine line{"INVESTMENT HISTORY:    ", "SP500", "      1.2.2003      (5.00)"};
    CRecordingSurface dc(kClip);
    DrawStatusLine(dc, line, IdleIndicator(), 0);
    EXPECT_EQ(dc.Texts(), (std::vector<std::string>{"INVESTMENT HISTORY:    SP500"}));
    EXPECT_TRUE(line.readout.empty());
    EXPECT_EQ(dc.Of(OpKind::Image)[0].imageWidth, 40);
}

TEST(StatusLine, ReadoutInMonthDayYearOrder) {
    CDataPoint p = MakePoint(14, 3, 2003, 1234.5);
    p.SetValue(Net, 0.5);
    EXPECT_EQ(FormatReadout(p, Raw), "      3.14.2003      (1234.50)");
    EXPECT_EQ(FormatReadout(p, Net), "      3.14.2003      (0.500)");
}

TEST(StatusLine, IndicatorPictures) {
    const CPixelImage& active = ActiveIndicator();
    ASSERT_EQ(active.width, 200);
    ASSERT_EQ(active.height, 20);
    ASSERT_EQ(active.pixels.size(), 4000u);
    for (const CColour& c : active.pixels) {
        EXPECT_GT(c.g, 2 * c.r);
        EXPECT_EQ(c.r, c.b);
    }
    const CPixelImage& idle = IdleIndicator();
    ASSERT_EQ(idle.width, 40);
    ASSERT_EQ(idle.height, 20);
    ASSERT_EQ(idle.pixels.size(), 800u);
    for (const CColour& c : idle.pixels) {
        EXPECT_EQ(c.r, c.g);
        EXPECT_EQ(c.g, c.b);
        EXPECT_GT(c.r, 180);
    }
}

}  // namespace
