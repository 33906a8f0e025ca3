#include "charts/qt/chart_picture.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>

#include <QGuiApplication>
#include <QPalette>

#include "model/project.h"
#include "support/series_builder.h"

namespace {

TEST(ChartPicture, StacksTheChartsAsTheMainWindowDoes) {
    CProject project;  // no data set: plots, label columns and status lines only
    const QImage image = PaintMainCharts(project, 300, 241, std::nullopt);
    ASSERT_EQ(image.size(), QSize(300, 241));
    // Charts of (241 - 40) / 2 = 100 rows: the history chart's label column is green, the
    // strip lies from row 100 to 139, the data set chart's column is blue, one row is left.
    const QColor face = QGuiApplication::palette().color(QPalette::Button);
    EXPECT_EQ(image.pixelColor(290, 0), QColor(0, 200, 0));
    EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(290, 93), QColor(Qt::white));  // status line
    EXPECT_EQ(image.pixelColor(150, 120), face);
    EXPECT_EQ(image.pixelColor(290, 140), QColor(0, 0, 200));
    EXPECT_EQ(image.pixelColor(150, 240), face);
}

TEST(ChartPicture, AbsurdWindowsAndValuesPaint) {
    const double values[] = {std::nan(""), std::numeric_limits<double>::infinity(), -1e308, 1e308,
                             0.0};
    CProject project;
    CDataSet* ds = project.AddDataSet("A");
    for (int i = 0; i < 50; ++i) {
        CDataPoint p = PointAt(INT_MIN + 10 + i * 1000, values[i % 5]);
        for (int slot = 0; slot < kSlotCount; ++slot) {
            p.SetValue(slot, values[(i + slot) % 5]);
        }
        p.m_flag = (i / 3) % 2;
        ds->AppendPoint(p);
    }
    for (const auto& [first, last] : {std::pair{INT_MIN, INT_MAX}, std::pair{INT_MIN + 10, 0}}) {
        SetWindow(project, first, last);
        const QImage image = PaintMainCharts(project, 400, 300, 0.5);
        EXPECT_EQ(image.size(), QSize(400, 300));
    }
}

}  // namespace
