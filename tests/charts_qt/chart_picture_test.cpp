#include "charts/qt/chart_picture.h"

#include <cstdlib>

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>

#include "charts/project_view.h"
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

// A zigzag with its smoothed curve and investment values, in the market in blocks of ten days.
void FillZigzag(CProject& project) {
    CDataSet* ds = project.AddDataSet("Zigzag");
    for (int i = 0; i < 120; ++i) {
        CDataPoint p = PointAt(2000 + i, 100 + (i % 7) * 9 - (i % 5) * 4 + i / 3);
        p.SetValue(Smooth, 100 + i / 3);
        p.SetValue(Gross, 1000 + i * 2);
        p.SetValue(Net, 1000 + i);
        p.m_flag = (i / 10) % 2;
        ds->AppendPoint(p);
    }
    SetWindow(project, 2000, 2119);
    RecomputeRanges(project);
}

// The pixels of `once` in [left, right) x [top, bottom) whose block of ratio x ratio pixels in
// `scaled` is not that pixel's colour all over.
int BlocksDiffering(const QImage& once, const QImage& scaled, int ratio, QRect area) {
    int differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            bool same = true;
            for (int i = 0; i < ratio * ratio; ++i) {
                same = same && scaled.pixel(x * ratio + i % ratio, y * ratio + i / ratio) ==
                                   once.pixel(x, y);
            }
            differing += same ? 0 : 1;
        }
    }
    return differing;
}

// The 2 x 2 blocks of `image` in `area` (in halves of its pixels) not of one colour.
int MixedBlocks(const QImage& image, QRect area) {
    int mixed = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb first = image.pixel(2 * x, 2 * y);
            mixed += image.pixel(2 * x + 1, 2 * y) != first ||
                             image.pixel(2 * x, 2 * y + 1) != first ||
                             image.pixel(2 * x + 1, 2 * y + 1) != first
                         ? 1
                         : 0;
        }
    }
    return mixed;
}

// Where the line (row or column) with the most crosshair pixels lies in `area`.
int CrosshairAt(const QImage& image, QRect area, bool row) {
    const QRgb inverted = qRgb(105, 105, 105);  // black OR NOT the crosshair grey
    int best = -1;
    int bestCount = 0;
    const int from = row ? area.top() : area.left();
    const int to = row ? area.bottom() : area.right();
    for (int line = from; line <= to; ++line) {
        int count = 0;
        const int across = row ? area.width() : area.height();
        for (int i = 0; i < across; ++i) {
            const QPoint p = row ? QPoint(area.left() + i, line) : QPoint(line, area.top() + i);
            count += image.pixel(p) == inverted ? 1 : 0;
        }
        if (count > bestCount) {
            best = line;
            bestCount = count;
        }
    }
    return best;
}

// At twice the pixels every line, fill and bar of the plot is the same pixel grown to a 2 x 2
// block: one pixel wide to the eye, no gaps, no blend, and the crosshair still inverts. Only the
// dots, drawn round at the finer resolution, and the text differ.
TEST(ChartPicture, APixelRatioDoublesEveryPixelOfThePlot) {
    CProject project;
    FillZigzag(project);
    for (const std::optional<double> cursor : {std::optional<double>(), std::optional(0.4)}) {
        SCOPED_TRACE(cursor.has_value() ? "cursor" : "no cursor");
        const QImage once = PaintMainCharts(project, 300, 241, cursor);
        const QImage twice = PaintMainCharts(project, 300, 241, cursor, 2.0);
        ASSERT_EQ(twice.size(), QSize(600, 482));
        EXPECT_EQ(twice.devicePixelRatio(), 2.0);
        EXPECT_EQ(once.devicePixelRatio(), 1.0);
        // The data set chart's plot (its value labels lie right of x = 240, its status line
        // below row 225) and its status line left of the text.
        const QRect plot(0, 140, 240, 86);
        const QRect indicator(0, 227, 58, 14);
        EXPECT_EQ(BlocksDiffering(once, twice, 2, indicator), 0);
        if (!cursor) {
            EXPECT_EQ(BlocksDiffering(once, twice, 2, plot), 0);
            continue;
        }
        const int row = CrosshairAt(once, plot, true);
        const int column = CrosshairAt(once, plot, false);
        ASSERT_GT(row, plot.top());
        ASSERT_GT(column, plot.left());
        EXPECT_EQ(CrosshairAt(twice, QRect(0, 280, 480, 172), true), 2 * row);
        EXPECT_EQ(CrosshairAt(twice, QRect(0, 280, 480, 172), false), 2 * column);
        // All but the cursor dot.
        const QRect dot(column - 4, row - 4, 9, 9);
        EXPECT_EQ(BlocksDiffering(once, twice, 2, plot) - BlocksDiffering(once, twice, 2, dot), 0);
        EXPECT_GT(BlocksDiffering(once, twice, 2, dot), 0);
    }
}

// The text is drawn at the finer resolution where it stands unscaled: its ink lies in the same
// place, and in 2 x 2 blocks that are not all of one colour.
TEST(ChartPicture, APixelRatioDrawsTheTextFiner) {
    CProject project;
    FillZigzag(project);
    const QImage once = PaintMainCharts(project, 300, 241, std::nullopt);
    const QImage twice = PaintMainCharts(project, 300, 241, std::nullopt, 2.0);
    // Dark ink in the status line of the data set chart, right of the indicator.
    const auto ink = [](const QImage& image, int ratio) {
        QRect box;
        for (int y = 228 * ratio; y < 240 * ratio; ++y) {
            for (int x = 58 * ratio; x < 295 * ratio; ++x) {
                if (qGray(image.pixel(x, y)) < 100) {
                    box |= QRect(x / ratio, y / ratio, 1, 1);
                }
            }
        }
        return box;
    };
    const QRect inkOnce = ink(once, 1);
    const QRect inkTwice = ink(twice, 2);
    ASSERT_FALSE(inkOnce.isEmpty());
    EXPECT_LE(std::abs(inkTwice.left() - inkOnce.left()), 1);
    EXPECT_LE(std::abs(inkTwice.right() - inkOnce.right()), 3);
    EXPECT_LE(std::abs(inkTwice.top() - inkOnce.top()), 1);
    EXPECT_LE(std::abs(inkTwice.bottom() - inkOnce.bottom()), 1);
    EXPECT_GT(MixedBlocks(twice, inkOnce), inkOnce.width());
}
