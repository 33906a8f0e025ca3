#include "charts/qt/chart_picture.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>

#include "model/project.h"
#include "support/series_builder.h"

namespace {

// The charts stacked as the main window and quillmark-cli render show them, here for a series
// that is in the market all along.
TEST(ChartPicture, StacksTheChartsAsTheMainWindowDoes) {
    CProject project;
    const QImage empty = PaintMainCharts(project, 300, 241, std::nullopt);
    CDataSet* ds = project.AddDataSet("A");
    for (int i = 0; i < 20; ++i) {
        CDataPoint p = PointAt(1000 + i, 100 + i);
        p.m_flag = 1;
        ds->AppendPoint(p);
    }
    SetWindow(project, 1000, 1019);
    const QImage image = PaintMainCharts(project, 300, 241, std::nullopt);
    ASSERT_EQ(image.size(), QSize(300, 241));
    // Charts of (241 - 40) / 2 = 100 rows: the history chart's label column is green, the
    // strip lies from row 100 to 139, the data set chart's column is blue, one row is left.
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    const QColor bar(65, 65, 20);
    for (const QImage* picture : {&empty, &image}) {
        const bool bars = picture == &image;
        EXPECT_EQ(picture->pixelColor(10, 150), bars ? bar : QColor(Qt::black));
        EXPECT_EQ(picture->pixelColor(290, 0), QColor(0, 200, 0));
        EXPECT_EQ(picture->pixelColor(290, 93), QColor(Qt::white));  // status line
        EXPECT_EQ(picture->pixelColor(150, 120), face);
        EXPECT_EQ(picture->pixelColor(290, 140), QColor(0, 0, 200));
        EXPECT_EQ(picture->pixelColor(150, 240), face);
    }
}

}  // namespace
