#include "charts/qt/painter_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include <QImage>
#include <QPainter>

namespace {

constexpr CColour kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlack{0, 0, 0}, kWhite{255, 255, 255};
constexpr CColour kGrey{150, 150, 150};
constexpr CColour kInverted{105, 105, 105};  // black OR NOT 150

CColour At(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return CColour{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                   static_cast<uint8_t>(c.blue())};
}

// A black picture of `size` x `size` device-independent pixels drawn on through a surface with
// the clip box `clip`; 32-bit unless told otherwise.
template <typename Draw>
QImage Drawn(int size, CRect clip, Draw draw, int ratio = 1,
             QImage::Format format = QImage::Format_RGB32) {
    QImage image(size * ratio, size * ratio, format);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        CPainterSurface dc(painter, clip);  // gone before the painter ends
        draw(dc);
    }
    return image;
}

// The pixels in [left, right) x [top, bottom) that are not black.
int Lit(const QImage& image, int left, int top, int right, int bottom) {
    int count = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            count += At(image, x, y) == kBlack ? 0 : 1;
        }
    }
    return count;
}

// Lines leave out their end point in every direction; joined lines go on from the last
// position, with a new pen too.
TEST(PainterSurface, LinesLeaveOutTheirEndPoint) {
    const QImage image = Drawn(20, CRect{0, 0, 20, 20}, [](CDrawSurface& dc) {
        dc.SelectPen(CPen{1, kRed});
        dc.MoveTo(2, 5);
        dc.LineTo(8, 5);  // rightward
        dc.MoveTo(8, 7);
        dc.LineTo(2, 7);  // leftward
        dc.MoveTo(12, 9);
        dc.LineTo(12, 2);  // upward, then on down and right
        dc.LineTo(17, 7);
        dc.SelectPen(CPen{1, kGreen});
        dc.LineTo(14, 17);
    });
    EXPECT_EQ(Lit(image, 0, 5, 12, 6), 6);
    EXPECT_EQ(At(image, 8, 5), kBlack);
    EXPECT_EQ(Lit(image, 0, 7, 12, 8), 6);
    EXPECT_EQ(At(image, 2, 7), kBlack);
    // (12, 2) is the start of the next line.
    EXPECT_EQ(
        std::vector({At(image, 12, 9), At(image, 12, 2), At(image, 17, 7), At(image, 14, 17)}),
        std::vector({kRed, kRed, kGreen, kBlack}));
}

TEST(PainterSurface, WidePenMergeNotPenAndEllipseBox) {
    const QImage image = Drawn(20, CRect{0, 0, 20, 20}, [](CDrawSurface& dc) {
        dc.FillSolidRect(CRect{10, 0, 20, 4}, kWhite);
        dc.SelectPen(CPen{2, kGrey});
        dc.SetRasterOp(RasterOp::MergeNotPen);
        dc.MoveTo(0, 4);
        dc.LineTo(20, 4);
        dc.SetRasterOp(RasterOp::CopyPen);
        dc.SelectPen(CPen{1, kRed});
        dc.SelectBrush(kGreen);
        dc.Ellipse(CRect{4, 8, 10, 14});
    });
    // A 2-pixel pen takes the row above too; white stays white.
    EXPECT_EQ(At(image, 3, 3), kInverted);
    EXPECT_EQ(At(image, 3, 4), kInverted);
    EXPECT_EQ(Lit(image, 0, 5, 20, 8), 0);
    EXPECT_EQ(At(image, 15, 3), kWhite);
    // Filled with the brush, outlined with the pen, right and bottom edges left out.
    EXPECT_EQ(std::vector({At(image, 7, 11), At(image, 4, 11), At(image, 9, 11), At(image, 7, 13)}),
              std::vector({kGreen, kRed, kRed, kRed}));
    EXPECT_EQ(Lit(image, 0, 6, 20, 20), Lit(image, 4, 8, 10, 14));
}

TEST(PainterSurface, DrawsOnlyInsideTheClipBoxWhateverTheCoordinates) {
    CPixelImage picture;
    picture.width = 4;
    picture.height = 3;
    for (int i = 0; i < 12; ++i) {
        picture.pixels.push_back(CColour{static_cast<uint8_t>(10 * i), 7, 9});
    }
    const QImage image = Drawn(40, CRect{10, 10, 30, 30}, [&](CDrawSurface& dc) {
        dc.FillSolidRect(CRect{-5, -5, 50, 50}, kWhite);
        dc.SelectPen(CPen{1, kRed});
        dc.MoveTo(0, 20);
        dc.LineTo(40, 20);
        // Far-off ends of every kind are cut, not overflowed.
        dc.MoveTo(INT_MIN, INT_MIN);
        dc.LineTo(INT_MAX, INT_MAX);
        dc.LineTo(15, INT_MIN);
        dc.Ellipse(CRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
        dc.SelectFont(CFontSpec{"Arial Bold", -10});
        dc.TextOut(INT_MIN, INT_MAX, "far");
        dc.DrawText("far", CRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
        // Only what lies on the picture and in the box is copied: two columns past the
        // picture's right edge and two rows past its bottom stay as they were.
        dc.CopyImage(12, 12, 4, 5, picture, 2, 0);
        dc.CopyImage(9, 27, 2, 1, picture, 0, 2);
    });
    EXPECT_EQ(Lit(image, 0, 0, 40, 40), Lit(image, 10, 10, 30, 30));
    EXPECT_EQ(At(image, 29, 20), kRed);
    EXPECT_EQ(At(image, 25, 25), kRed);  // the diagonal through the whole plane
    EXPECT_EQ(std::vector({At(image, 12, 12), At(image, 13, 14), At(image, 10, 27)}),
              std::vector({picture.At(2, 0), picture.At(3, 2), picture.At(1, 2)}));
    EXPECT_TRUE(At(image, 14, 12) == kWhite && At(image, 12, 15) == kWhite);
}

// Lines in every direction, cut by the clip box, a wide inverting pen over a fill and a copied
// picture: the drawing of the charts other than text and dots.
void DrawScene(CDrawSurface& dc) {
    CPixelImage picture;
    picture.width = 3;
    picture.height = 2;
    for (int i = 0; i < 6; ++i) {
        picture.pixels.push_back(CColour{static_cast<uint8_t>(40 * i), 90, 200});
    }
    dc.FillSolidRect(CRect{12, 0, 24, 6}, kWhite);
    dc.SelectPen(CPen{1, kRed});
    dc.MoveTo(1, 2);
    dc.LineTo(23, 9);   // shallow, on past the clip box
    dc.LineTo(14, 21);  // steep, back left
    dc.LineTo(3, 13);
    dc.LineTo(3, 18);
    dc.SelectPen(CPen{1, kGreen});
    dc.MoveTo(19, 17);
    dc.LineTo(8, 17);
    dc.MoveTo(-30, 25);
    dc.LineTo(60, -10);
    dc.SelectPen(CPen{2, kGrey});
    dc.SetRasterOp(RasterOp::MergeNotPen);
    dc.MoveTo(0, 4);
    dc.LineTo(20, 4);
    dc.MoveTo(16, 0);
    dc.LineTo(16, 20);
    dc.SetRasterOp(RasterOp::CopyPen);
    dc.CopyImage(5, 19, 3, 2, picture, 0, 0);
}

// Under a scale each pixel the drawing sets becomes a block of physical pixels: lines stay one
// pixel wide to the eye, without gaps or blended edges, and inverting still inverts.
TEST(PainterSurface, AScaledPictureGrowsEveryPixelToABlock) {
    const CRect clip{0, 0, 20, 22};
    const QImage once = Drawn(24, clip, DrawScene);
    for (int ratio : {2, 3}) {
        SCOPED_TRACE(ratio);
        const QImage scaled = Drawn(24, clip, DrawScene, ratio);
        int differing = 0;
        for (int i = 0; i < scaled.width() * scaled.height(); ++i) {
            const int x = i % scaled.width();
            const int y = i / scaled.width();
            differing += scaled.pixel(x, y) == once.pixel(x / ratio, y / ratio) ? 0 : 1;
        }
        EXPECT_EQ(differing, 0);
    }
    EXPECT_EQ(At(once, 3, 4), kInverted);
    EXPECT_EQ(At(once, 13, 4), kWhite);
    EXPECT_EQ(std::vector({At(once, 9, 17), At(once, 8, 17)}),
              std::vector({kGreen, kRed}));  // the green line leaves out its end point
}

// A dot covers the same box scaled, drawn round at the finer resolution.
TEST(PainterSurface, AScaledEllipseKeepsItsBox) {
    const auto dot = [](CDrawSurface& dc) {
        dc.SelectPen(CPen{1, kRed});
        dc.SelectBrush(kGreen);
        dc.Ellipse(CRect{4, 8, 10, 14});
    };
    const QImage scaled = Drawn(20, CRect{0, 0, 20, 20}, dot, 2);
    EXPECT_EQ(Lit(scaled, 0, 0, 40, 40), Lit(scaled, 8, 16, 20, 28));
    // Outlined two physical pixels wide at the middle of each edge, filled inside.
    EXPECT_EQ(std::vector({At(scaled, 8, 22), At(scaled, 9, 22), At(scaled, 10, 22),
                           At(scaled, 14, 22), At(scaled, 19, 22), At(scaled, 14, 27)}),
              std::vector({kRed, kRed, kGreen, kGreen, kRed, kRed}));
}

// Where QPainter draws the lines (a picture the surface cannot set pixels of), level and
// upright lines are still exact blocks, and a slanting one is a unit, not a physical pixel, wide.
TEST(PainterSurface, AScaledPainterWithoutPixelAccessKeepsLinesAUnitWide) {
    const auto lines = [](CDrawSurface& dc) {
        dc.SelectPen(CPen{1, kRed});
        dc.MoveTo(2, 3);
        dc.LineTo(12, 3);
        dc.LineTo(12, 9);
        dc.MoveTo(2, 10);
        dc.LineTo(18, 14);
        dc.SelectPen(CPen{2, kGrey});
        dc.SetRasterOp(RasterOp::MergeNotPen);
        dc.MoveTo(0, 18);
        dc.LineTo(20, 18);
    };
    const QImage scaled = Drawn(20, CRect{0, 0, 20, 20}, lines, 2, QImage::Format_RGB888);
    // From (2, 3) to the corner, which the upright line starts with, and on to (12, 9) left out.
    EXPECT_EQ(Lit(scaled, 0, 6, 40, 8), 44);
    EXPECT_EQ(Lit(scaled, 24, 6, 26, 18), 24);
    EXPECT_EQ(std::vector({At(scaled, 3, 6), At(scaled, 4, 7), At(scaled, 24, 18)}),
              std::vector({kBlack, kRed, kBlack}));
    for (int x = 8; x < 34; ++x) {
        EXPECT_EQ(Lit(scaled, x, 19, x + 1, 30), 2) << x;
    }
    EXPECT_EQ(Lit(scaled, 0, 34, 40, 36), 80);
    EXPECT_EQ(At(scaled, 5, 35), kInverted);
}

}  // namespace
