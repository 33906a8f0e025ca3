#include "charts/qt/landscape_picture.h"

#include <gtest/gtest.h>

#include "analysis/landscape.h"

namespace {

// Two lengths by two levels, every row with the same lowest and highest gain.
CLandscapeMap Map(double low, double high) {
    CLandscapeMap map;
    map.lowLength = 10;
    map.lengthCount = 2;
    map.levels = {0, 10};
    map.gains = {low, high, low, high};
    map.what = "Best gain";
    return map;
}

// The scale's figures are cut to a tenth like every other per-cent figure (154.78 shows as the
// 154.7 the result sets box says, not 154.8): maps whose ends differ below the tenth, over the
// same span, give the same picture; a tenth more shows.
TEST(LandscapePicture, ScaleFiguresAreCutLikeEveryOtherPerCentFigure) {
    const QImage cut = PaintLandscape(Map(0.01, 154.71), {}, -1, 400, 300);
    EXPECT_EQ(PaintLandscape(Map(0.05, 154.75), {}, -1, 400, 300), cut);
    EXPECT_NE(PaintLandscape(Map(0.11, 154.81), {}, -1, 400, 300), cut);
}

// At a pixel ratio of 2 the picture holds twice the pixels each way and says so; what it shows
// is the same picture, drawn sharper.
TEST(LandscapePicture, APixelRatioScalesThePixelsNotTheLayout) {
    const QImage single = PaintLandscape(Map(-20.0, 80.0), {{10, 0}}, 0, 300, 200);
    const QImage twice = PaintLandscape(Map(-20.0, 80.0), {{10, 0}}, 0, 300, 200, 2.0);
    EXPECT_EQ(twice.size(), QSize(600, 400));
    EXPECT_EQ(twice.devicePixelRatio(), 2.0);
    EXPECT_EQ(twice.scaled(300, 200).pixelColor(150, 100), single.pixelColor(150, 100));
}

}  // namespace
