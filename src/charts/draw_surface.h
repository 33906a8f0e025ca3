#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What chart drawing needs of a drawing device. The charts are drawn by plain code against this
// interface; the program draws with QPainter on screen and into pictures, tests with a recorder.
//
// The semantics are those of a classic raster device context:
// - positions are whole pixels, y grows downward;
// - a line from MoveTo to LineTo does not draw its end point, and LineTo moves the position;
// - Ellipse fills with the selected brush, outlines with the selected pen, and leaves out the
//   right and bottom edges of its box;
// - pens, brushes and fonts are selected for one operation and the previous ones restored after;
// - text is drawn with the text colour, transparent when the background mode says so.

struct CColour {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool operator==(const CColour&) const = default;
};

struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool operator==(const CRect&) const = default;
};

struct CPen {
    int32_t width = 1;
    CColour colour;
    bool operator==(const CPen&) const = default;
};

struct CFontSpec {
    std::string face;    // "Verdana Bold", "Arial Bold"; a missing face falls back to a bold sans
    int32_t height = 0;  // negative: character height in pixels, as -10 for 10 pixels
    bool operator==(const CFontSpec&) const = default;
};

// A small picture of our own (the indicator bars of the chart panels), row by row.
struct CPixelImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<CColour> pixels;
    CColour At(int32_t x, int32_t y) const {
        return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }
};

enum class RasterOp {
    CopyPen,      // the pen colour replaces the destination
    MergeNotPen,  // destination OR (NOT pen colour)
};

enum class BackgroundMode { Opaque, Transparent };

enum class TextAlign {
    LeftTop,   // the reference point is the top left of the text
    RightTop,  // the reference point is the top right of the text
};

enum class SystemColour { ButtonText, ButtonFace, ButtonShadow };

class CDrawSurface {
  public:
    virtual ~CDrawSurface() = default;

    // The rectangle drawing is limited to; every position of the charts derives from it.
    virtual CRect GetClipBox() const = 0;

    virtual void FillSolidRect(const CRect& rect, CColour colour) = 0;
    // Fills with a solid brush of the colour made for this one call.
    virtual void FillRect(const CRect& rect, CColour brush) = 0;

    // Each returns what was selected before, for the caller to restore.
    virtual CPen SelectPen(const CPen& pen) = 0;
    virtual CColour SelectBrush(CColour brush) = 0;
    virtual CFontSpec SelectFont(const CFontSpec& font) = 0;
    virtual RasterOp SetRasterOp(RasterOp op) = 0;
    virtual CColour SetTextColour(CColour colour) = 0;
    virtual CColour SetBackgroundColour(CColour colour) = 0;
    virtual BackgroundMode SetBackgroundMode(BackgroundMode mode) = 0;
    virtual TextAlign SetTextAlign(TextAlign align) = 0;

    virtual void MoveTo(int32_t x, int32_t y) = 0;
    virtual void LineTo(int32_t x, int32_t y) = 0;
    virtual void Ellipse(const CRect& box) = 0;

    virtual void TextOut(int32_t x, int32_t y, std::string_view text) = 0;
    // Text at the top left of the rectangle, clipped to it.
    virtual void DrawText(std::string_view text, const CRect& rect) = 0;

    virtual CColour GetSystemColour(SystemColour which) const = 0;

    // Copies width x height pixels of the picture from (sourceX, sourceY) to (x, y).
    virtual void CopyImage(int32_t x, int32_t y, int32_t width, int32_t height,
                           const CPixelImage& image, int32_t sourceX, int32_t sourceY) = 0;
};
