#include "charts/qt/painter_surface.h"

#include <gtest/gtest.h>

#include <climits>

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

namespace {

constexpr CColour kRed{255, 0, 0};
constexpr CColour kGreen{0, 255, 0};
constexpr CColour kBlack{0, 0, 0};
constexpr CColour kWhite{255, 255, 255};

CColour At(const QImage& image, int x, int y) {
    const QColor c = image.pixelColor(x, y);
    return CColour{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
                   static_cast<uint8_t>(c.blue())};
}

// A black picture drawn on through a surface with the clip box `clip`.
template <typename Draw>
QImage Drawn(int width, int height, CRect clip, Draw draw) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    {
        CPainterSurface dc(painter, clip);
        draw(dc);
    }
    painter.end();
    return image;
}

int CountNot(const QImage& image, CColour background, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            count += At(image, x, y) == background ? 0 : 1;
        }
    }
    return count;
}

// Lines in every direction, alone and joined end to start, on a picture the surface sets
// pixel by pixel.
TEST(PainterSurface, LinesLeaveOutTheirEndPoint) {
    const QImage image = Drawn(20, 20, CRect{0, 0, 20, 20}, [](CDrawSurface& dc) {
        dc.SelectPen(CPen{1, kRed});
        dc.MoveTo(2, 5);
        dc.LineTo(8, 5);  // rightward
        dc.MoveTo(8, 7);
        dc.LineTo(2, 7);  // leftward
        dc.MoveTo(12, 9);
        dc.LineTo(12, 2);  // upward, then on down and left
        dc.LineTo(12, 2);  // no length, nothing drawn
        dc.LineTo(17, 7);
        dc.SelectPen(CPen{1, kGreen});
        dc.LineTo(14, 17);  // a new pen goes on from the same position
    });
    for (int x = 2; x < 8; ++x) {
        EXPECT_EQ(At(image, x, 5), kRed) << x;
        EXPECT_EQ(At(image, x + 1, 7), kRed) << x;
    }
    EXPECT_EQ(At(image, 8, 5), kBlack);
    EXPECT_EQ(At(image, 2, 7), kBlack);
    EXPECT_EQ(At(image, 12, 9), kRed);
    EXPECT_EQ(At(image, 12, 2), kRed);  // the start of the next line
    EXPECT_EQ(At(image, 16, 6), kRed);
    EXPECT_EQ(At(image, 17, 7), kGreen);
    EXPECT_EQ(At(image, 14, 17), kBlack);
    // No antialiasing: every pixel is a pen's or untouched.
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 20; ++x) {
            const CColour c = At(image, x, y);
            EXPECT_TRUE(c == kRed || c == kGreen || c == kBlack) << x << "," << y;
        }
    }
}

// A picture of 24-bit pixels is drawn on through QPainter alone: it leaves out the end of a
// line drawn rightward or downward, and the start of one drawn the other way.
TEST(PainterSurface, LinesThroughQPainterKeepTheirLength) {
    QImage image(20, 20, QImage::Format_RGB888);
    image.fill(Qt::black);
    QPainter painter(&image);
    {
        CPainterSurface dc(painter, CRect{0, 0, 20, 20});
        dc.SelectPen(CPen{1, kRed});
        dc.MoveTo(1, 1);
        dc.LineTo(6, 4);
        dc.MoveTo(12, 12);
        dc.LineTo(6, 9);
        dc.SetRasterOp(RasterOp::MergeNotPen);
        dc.SelectPen(CPen{1, CColour{150, 150, 150}});
        dc.MoveTo(2, 18);
        dc.LineTo(8, 18);
    }
    painter.end();
    EXPECT_EQ(At(image, 1, 1), kRed);
    EXPECT_EQ(At(image, 6, 4), kBlack);
    EXPECT_EQ(CountNot(image, kBlack, QRect(0, 0, 20, 6)), 5);
    EXPECT_EQ(CountNot(image, kBlack, QRect(0, 8, 20, 6)), 6);
    EXPECT_EQ(At(image, 2, 18), (CColour{105, 105, 105}));
    EXPECT_EQ(At(image, 8, 18), kBlack);
}

TEST(PainterSurface, WidePenAndRasterOperation) {
    const QImage image = Drawn(20, 20, CRect{0, 0, 20, 20}, [](CDrawSurface& dc) {
        dc.FillSolidRect(CRect{10, 0, 20, 20}, kWhite);
        dc.SelectPen(CPen{2, CColour{150, 150, 150}});
        dc.SetRasterOp(RasterOp::MergeNotPen);
        dc.MoveTo(0, 5);
        dc.LineTo(20, 5);
        dc.SetRasterOp(RasterOp::CopyPen);
        dc.MoveTo(0, 12);
        dc.LineTo(20, 12);
    });
    // Black OR NOT 150 is 105; white stays white. A 2-pixel pen takes the row above too.
    EXPECT_EQ(At(image, 3, 4), (CColour{105, 105, 105}));
    EXPECT_EQ(At(image, 3, 5), (CColour{105, 105, 105}));
    EXPECT_EQ(At(image, 3, 6), kBlack);
    EXPECT_EQ(At(image, 3, 3), kBlack);
    EXPECT_EQ(At(image, 15, 5), kWhite);
    EXPECT_EQ(At(image, 3, 11), (CColour{150, 150, 150}));
    EXPECT_EQ(At(image, 15, 12), (CColour{150, 150, 150}));
}

TEST(PainterSurface, EllipseLeavesOutRightAndBottomEdges) {
    const QImage image = Drawn(20, 20, CRect{0, 0, 20, 20}, [](CDrawSurface& dc) {
        dc.SelectPen(CPen{1, kRed});
        dc.SelectBrush(kGreen);
        dc.Ellipse(CRect{4, 4, 10, 10});
    });
    EXPECT_EQ(At(image, 7, 7), kGreen);
    EXPECT_EQ(At(image, 4, 7), kRed);
    EXPECT_EQ(At(image, 9, 7), kRed);
    EXPECT_EQ(At(image, 7, 9), kRed);
    EXPECT_EQ(CountNot(image, kBlack, QRect(10, 0, 10, 20)), 0);
    EXPECT_EQ(CountNot(image, kBlack, QRect(0, 10, 20, 10)), 0);
    EXPECT_EQ(CountNot(image, kBlack, QRect(0, 0, 4, 20)), 0);
}

TEST(PainterSurface, DrawsOnlyInsideTheClipBox) {
    const QImage image = Drawn(40, 40, CRect{10, 10, 30, 30}, [](CDrawSurface& dc) {
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
    });
    // A clip box as wide as the coordinates go is the whole picture.
    const QImage whole =
        Drawn(8, 8, CRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, [](CDrawSurface& dc) {
            dc.FillSolidRect(CRect{2, 2, 4, 4}, kWhite);
        });
    EXPECT_EQ(At(whole, 3, 3), kWhite);
    EXPECT_EQ(CountNot(image, kBlack, QRect(0, 0, 40, 10)), 0);
    EXPECT_EQ(CountNot(image, kBlack, QRect(0, 30, 40, 10)), 0);
    EXPECT_EQ(CountNot(image, kBlack, QRect(0, 0, 10, 40)), 0);
    EXPECT_EQ(CountNot(image, kBlack, QRect(30, 0, 10, 40)), 0);
    EXPECT_EQ(At(image, 12, 28), kWhite);
    EXPECT_EQ(At(image, 29, 20), kRed);
    // The diagonal through the whole plane crosses the box on its diagonal.
    EXPECT_EQ(At(image, 20, 20), kRed);
    EXPECT_EQ(At(image, 25, 25), kRed);
}

TEST(PainterSurface, TextSitsBelowAndBesideItsReferencePoint) {
    const QImage image = Drawn(120, 80, CRect{0, 0, 120, 80}, [](CDrawSurface& dc) {
        dc.SelectFont(CFontSpec{"Verdana Bold", -10});
        dc.SetTextColour(kWhite);
        dc.SetBackgroundMode(BackgroundMode::Transparent);
        dc.TextOut(10, 10, "2003");
        dc.SetTextAlign(TextAlign::RightTop);
        dc.TextOut(110, 30, "JAN");
        // Clipped to its box, on the background colour.
        dc.SetBackgroundColour(CColour{0, 0, 255});
        dc.SetBackgroundMode(BackgroundMode::Opaque);
        dc.DrawText("INVESTMENT HISTORY:    SP500", CRect{10, 60, 60, 66});
    });
    EXPECT_GT(CountNot(image, kBlack, QRect(10, 10, 40, 14)), 20);
    EXPECT_EQ(CountNot(image, kBlack, QRect(0, 0, 10, 60)), 0);
    EXPECT_EQ(CountNot(image, kBlack, QRect(0, 0, 120, 10)), 0);
    EXPECT_GT(CountNot(image, kBlack, QRect(70, 30, 40, 14)), 20);
    EXPECT_EQ(CountNot(image, kBlack, QRect(110, 25, 10, 35)), 0);
    EXPECT_EQ(At(image, 10, 60), (CColour{0, 0, 255}));
    EXPECT_EQ(CountNot(image, kBlack, QRect(60, 50, 60, 30)), 0);
    EXPECT_EQ(CountNot(image, kBlack, QRect(0, 66, 120, 14)), 0);
}

TEST(PainterSurface, CopyImageTakesOnlyWhatLiesOnThePicture) {
    CPixelImage picture;
    picture.width = 4;
    picture.height = 3;
    for (int i = 0; i < 12; ++i) {
        picture.pixels.push_back(CColour{static_cast<uint8_t>(10 * i), 7, 9});
    }
    const QImage image = Drawn(20, 20, CRect{0, 0, 20, 20}, [&](CDrawSurface& dc) {
        // Two columns past the picture's right edge and two rows past its bottom.
        dc.CopyImage(5, 5, 4, 5, picture, 2, 0);
        dc.CopyImage(-1, 15, 2, 1, picture, 0, 2);
    });
    EXPECT_EQ(At(image, 5, 5), picture.At(2, 0));
    EXPECT_EQ(At(image, 6, 7), picture.At(3, 2));
    EXPECT_EQ(At(image, 7, 5), kBlack);
    EXPECT_EQ(At(image, 5, 8), kBlack);
    EXPECT_EQ(At(image, 0, 15), picture.At(1, 2));
}

TEST(PainterSurface, StateSystemColoursAndFonts) {
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    const QPen before(Qt::yellow);
    painter.setPen(before);
    {
        CPainterSurface dc(painter, CRect{0, 0, 10, 10});
        EXPECT_EQ(dc.GetClipBox(), (CRect{0, 0, 10, 10}));
        EXPECT_EQ(dc.SelectPen(CPen{2, kRed}), CPen{});
        EXPECT_EQ(dc.SelectPen(CPen{}), (CPen{2, kRed}));
        EXPECT_EQ(dc.SetRasterOp(RasterOp::MergeNotPen), RasterOp::CopyPen);
        EXPECT_EQ(dc.SetTextAlign(TextAlign::RightTop), TextAlign::LeftTop);
        EXPECT_EQ(dc.SelectFont(CFontSpec{"Arial Bold", -10}).face, "");
        const QPalette palette = QGuiApplication::palette();
        const QColor text = palette.color(QPalette::ButtonText);
        EXPECT_EQ(dc.GetSystemColour(SystemColour::ButtonText),
                  (CColour{static_cast<uint8_t>(text.red()), static_cast<uint8_t>(text.green()),
                           static_cast<uint8_t>(text.blue())}));
        const QColor face = palette.color(QPalette::Button);
        EXPECT_EQ(dc.GetSystemColour(SystemColour::ButtonFace).g, face.green());
        const QColor dark = palette.color(QPalette::Dark);
        EXPECT_EQ(dc.GetSystemColour(SystemColour::ButtonShadow).b, dark.blue());
    }
    // The painter gets its own state back.
    EXPECT_EQ(painter.pen(), before);
    EXPECT_EQ(painter.compositionMode(), QPainter::CompositionMode_SourceOver);

    // Both faces are bold, of the character height, installed or not.
    for (const char* face : {"Verdana Bold", "Arial Bold"}) {
        const QFontInfo info(FontFor(CFontSpec{face, -10}));
        EXPECT_EQ(info.pixelSize(), 10) << face;
        EXPECT_TRUE(info.bold()) << face;
    }
}

}  // namespace
