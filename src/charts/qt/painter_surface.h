#pragma once

#include <QFont>
#include <QPainter>

#include "charts/draw_surface.h"

// The drawing surface on a QPainter, for widgets and for pictures (QImage). It keeps the
// semantics of a raster device context that the chart drawing expects:
// - lines are not antialiased and leave out their end point; a pen wider than one pixel
//   covers the rows (columns) from y - width / 2 on. On a 32-bit QImage through a painter
//   that at most translates and scales up alike in x and y, thin lines are set pixel by pixel
//   in any direction; elsewhere QPainter draws them, which leaves out the end point of lines
//   drawn rightward or downward and the start point of the others; an ellipse reaching more
//   than 2^20 pixels from the origin is left out;
// - coordinates are pixels of the painter's coordinates: under a scale (a picture or screen of
//   several physical pixels to each device-independent one) every pixel the drawing sets is a
//   block of physical pixels, so lines stay one unit wide without gaps or smear, while text and
//   ellipses are drawn at the physical resolution;
// - the raster operation MergeNotPen maps to QPainter::RasterOp_NotSourceOrDestination, which
//   needs a raster paint device (QImage, or a widget on the raster backing store);
// - the font faces "Verdana Bold" and "Arial Bold" are the named family in bold where it is
//   installed, otherwise a bold sans-serif, with the character height in pixels;
// - the system colours are the application palette's ButtonText, Button and Dark.
//
// The surface changes the painter's state (clip, pen, brush, font, hints) while it lives and
// restores it when destroyed. REQUIRES: the painter is active and outlives the surface; a
// QGuiApplication exists when text is drawn or system colours are asked for.
class CPainterSurface : public CDrawSurface {
  public:
    // Drawing is limited to `clipBox`, in the painter's current coordinates.
    CPainterSurface(QPainter& painter, const CRect& clipBox);
    ~CPainterSurface() override;
    CPainterSurface(const CPainterSurface&) = delete;
    CPainterSurface& operator=(const CPainterSurface&) = delete;

    CRect GetClipBox() const override { return m_clip; }

    void FillSolidRect(const CRect& rect, CColour colour) override;
    void FillRect(const CRect& rect, CColour brush) override;

    CPen SelectPen(const CPen& pen) override;
    CColour SelectBrush(CColour brush) override;
    CFontSpec SelectFont(const CFontSpec& font) override;
    RasterOp SetRasterOp(RasterOp op) override;
    CColour SetTextColour(CColour colour) override;
    CColour SetBackgroundColour(CColour colour) override;
    BackgroundMode SetBackgroundMode(BackgroundMode mode) override;
    TextAlign SetTextAlign(TextAlign align) override;

    void MoveTo(int32_t x, int32_t y) override;
    void LineTo(int32_t x, int32_t y) override;
    void Ellipse(const CRect& box) override;

    void TextOut(int32_t x, int32_t y, std::string_view text) override;
    void DrawText(std::string_view text, const CRect& rect) override;

    CColour GetSystemColour(SystemColour which) const override;

    void CopyImage(int32_t x, int32_t y, int32_t width, int32_t height, const CPixelImage& image,
                   int32_t sourceX, int32_t sourceY) override;

  private:
    // The painter's pen for m_pen: under a scale even a thin pen is one unit wide.
    QPen PainterPen() const;
    void UsePenMode();
    void UseCopyMode();
    void FillPixels(int64_t left, int64_t top, int64_t right, int64_t bottom, const QColor& c);
    void DrawLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    // Direct pixel access, when the painter draws on a QImage that allows it.
    void PrepareDirectPixels();
    void PlotThinLine(int64_t x0, int64_t y0, int64_t x1, int64_t y1);
    // The physical column (row) where the unit pixel column x (row y) begins.
    int64_t DeviceX(int64_t x) const;
    int64_t DeviceY(int64_t y) const;
    // Sets the physical pixels of [left, right) x [top, bottom) that lie on the picture.
    void SetBlock(int64_t left, int64_t top, int64_t right, int64_t bottom, uint32_t pen,
                  uint32_t notPen, bool merge);

    QPainter& m_painter;
    CRect m_clip;
    CPen m_pen;
    CColour m_brush{255, 255, 255};
    CFontSpec m_font;
    QFont m_qfont;
    RasterOp m_rasterOp = RasterOp::CopyPen;
    CColour m_textColour{0, 0, 0};
    CColour m_backgroundColour{255, 255, 255};
    BackgroundMode m_backgroundMode = BackgroundMode::Opaque;
    TextAlign m_textAlign = TextAlign::LeftTop;
    int32_t m_x = 0;
    int32_t m_y = 0;

    // True when the painter scales its coordinates.
    bool m_scaled = false;

    // The pixels of the picture; null when drawing goes through QPainter only. A unit pixel
    // (x, y) inside m_pixelClip begins at the physical pixel (x * m_scale + m_offset.x(),
    // y * m_scale + m_offset.y()), rounded.
    uchar* m_bits = nullptr;
    qsizetype m_stride = 0;
    QSize m_imageSize;
    double m_scale = 1.0;
    QPointF m_offset;
    QPoint m_shift;        // m_offset held to whole pixels
    int m_wholeScale = 0;  // the scale when it and m_offset are whole numbers, otherwise 0
    QRect m_pixelClip;
};

// The font the surface uses for a font record.
QFont FontFor(const CFontSpec& font);
