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
