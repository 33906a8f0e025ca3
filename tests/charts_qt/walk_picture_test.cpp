#include "charts/qt/walk_picture.h"

#include <gtest/gtest.h>

#include <QColor>

namespace {

// Rows of column `x` drawn in `colour`, top to bottom.
std::vector<int> RowsOf(const QImage& image, int x, const QColor& colour) {
    std::vector<int> rows;
    for (int y = 0; y < image.height(); ++y) {
        if (image.pixelColor(x, y) == colour) {
            rows.push_back(y);
        }
    }
    return rows;
}

// Buy and hold at 50 times the strategy's amount still starts where the strategy does, the
// strategy doubling above it; the boundary in the middle shows between the lines and the
// bottom. The plot spans x 60 to 384 of a 400 x 200 picture.
TEST(WalkPicture, StartsBothLinesTogetherAndMarksTheBoundaries) {
    std::vector<CWalkPicturePoint> line;
    for (int i = 0; i <= 100; ++i) {
        line.push_back({40000 + i, 1.0 + i / 100.0, 50.0});
    }
    const QImage image = PaintWalkForward(line, {40050}, 400, 200);
    const QColor net(30, 80, 200);
    const QColor hold(130, 130, 130);
    const std::vector<int> holdRows = RowsOf(image, 350, hold);
    const std::vector<int> startRows = RowsOf(image, 62, net);
    const std::vector<int> endRows = RowsOf(image, 380, net);
    ASSERT_FALSE(holdRows.empty() || startRows.empty() || endRows.empty());
    EXPECT_NEAR(startRows.back(), holdRows.back(), 2);
    EXPECT_LT(endRows.back() + 100, holdRows.front());
    bool boundary = false;
    for (int x = 220; x <= 224; ++x) {
        boundary = boundary || image.pixelColor(x, holdRows.back() + 3) == QColor(200, 200, 200);
    }
    EXPECT_TRUE(boundary);
    EXPECT_EQ(image.pixelColor(300, holdRows.back() + 3), QColor(Qt::white));
}

TEST(WalkPicture, AnEmptyOrFlatLineStillGivesThePicture) {
    EXPECT_EQ(PaintWalkForward({}, {}, 120, 80).size(), QSize(120, 80));
    EXPECT_EQ(PaintWalkForward({{10, 1.0, 1.0}}, {10}, 1, 1).size(), QSize(1, 1));
}

}  // namespace
